// A channel's response: the fraction of its light at each drive level, as a
// smooth monotone curve through black, the matched points and white, drawn in
// log-log terms (ln light against ln drive), and its inverse.
#pragma once

#include "model/tone_match.h"

namespace tonalis {

class ResponseCurve {
  public:
    // light = (drive / 255)^nativeGamma: a straight line in log-log terms.
    static ResponseCurve PowerLaw(double nativeGamma);
    // Through the points and white. Points outside 0 < fraction < 1 and
    // 0 < drive < 255, or that would make the curve fall, are passed over;
    // with none left the curve is the power law through the half of
    // fallbackGamma.
    static ResponseCurve Through(const ToneMatch& match, double fallbackGamma);

    // drive 0 to 255 -> light 0 to 1, rising.
    double Light(double drive) const;
    // light 0 to 1 -> drive 0 to 255; the inverse of Light. Full light is
    // the drive where the curve reaches white.
    double Drive(double light) const;

    bool IsPowerLaw() const { return knotCount_ == 1; }
    double NativeGamma() const { return slope_[0]; }

  private:
    double LogLight(double logDrive) const;

    // Knots in ln(drive / 255), ln(light); the last is white, at drive 255
    // or at the match's whiteDrive. Below the first the curve
    // goes on with its slope there.
    static constexpr int kMaxKnots = kMaxTonePoints + 1;
    int knotCount_ = 0;
    double x_[kMaxKnots] = {};
    double y_[kMaxKnots] = {};
    double slope_[kMaxKnots] = {};
};

// Whether the darkest visible step (fraction 0) or the brightest distinct
// one (fraction 1) found at drive says more than the curve does: on the
// curve, with the eye's threshold anywhere from half to twice the nominal,
// it changes nothing; only crushed or raised ends do.
bool EndBendsCurve(const ResponseCurve& curve, bool blackEnd, double drive);

// The point an end step stands for.
TonePoint EndPoint(bool blackEnd, double drive);

}  // namespace tonalis
