// The matched response curve: a monotone cubic (Fritsch-Carlson slopes, with
// the three-point end slopes of PCHIP) through the knots in log-log terms.
#include "model/response_curve.h"

#include <cmath>

namespace tonalis {

namespace {

constexpr double kTop = 255.0;

// Slope at an end knot from its two segments; never against the curve's rise.
double EndSlope(double h0, double h1, double d0, double d1) {
    const double slope = ((2 * h0 + h1) * d0 - h0 * d1) / (h0 + h1);
    if (!(slope > 0.0)) {
        return d0 / 4;
    }
    return slope > 3 * d0 ? 3 * d0 : slope;
}

double Hermite(double y0, double y1, double m0, double m1, double h, double t) {
    const double t2 = t * t;
    const double t3 = t2 * t;
    return (2 * t3 - 3 * t2 + 1) * y0 + (t3 - 2 * t2 + t) * h * m0 + (3 * t2 - 2 * t3) * y1 +
           (t3 - t2) * h * m1;
}

}  // namespace

ResponseCurve ResponseCurve::PowerLaw(double nativeGamma) {
    ResponseCurve curve;
    curve.knotCount_ = 1;
    curve.slope_[0] = nativeGamma;
    return curve;
}

ResponseCurve ResponseCurve::Through(const ToneMatch& match, double fallbackGamma) {
    ResponseCurve curve;
    const int count = match.count < kMaxTonePoints ? match.count : kMaxTonePoints;
    for (int i = 0; i < count; ++i) {
        const TonePoint& p = match.points[i];
        if (!(p.fraction > 0.0 && p.fraction < 1.0 && p.drive > 0.0 && p.drive < kTop)) {
            continue;
        }
        const double x = std::log(p.drive / kTop);
        const double y = std::log(p.fraction);
        const int n = curve.knotCount_;
        if (n > 0 && !(x > curve.x_[n - 1] && y > curve.y_[n - 1])) {
            continue;
        }
        curve.x_[n] = x;
        curve.y_[n] = y;
        curve.knotCount_ = n + 1;
    }
    if (curve.knotCount_ == 0) {
        return PowerLaw(fallbackGamma);
    }
    const int n = curve.knotCount_ + 1;
    curve.knotCount_ = n;
    if (match.whiteDrive > 0.0 && match.whiteDrive < kTop &&
        std::log(match.whiteDrive / kTop) > curve.x_[n - 2]) {
        curve.x_[n - 1] = std::log(match.whiteDrive / kTop);
    }
    double h[kMaxKnots];
    double d[kMaxKnots];
    for (int i = 0; i + 1 < n; ++i) {
        h[i] = curve.x_[i + 1] - curve.x_[i];
        d[i] = (curve.y_[i + 1] - curve.y_[i]) / h[i];
    }
    if (n == 2) {
        curve.slope_[0] = curve.slope_[1] = d[0];
        return curve;
    }
    for (int i = 1; i + 1 < n; ++i) {
        const double w1 = 2 * h[i] + h[i - 1];
        const double w2 = h[i] + 2 * h[i - 1];
        curve.slope_[i] = (w1 + w2) / (w1 / d[i - 1] + w2 / d[i]);
    }
    curve.slope_[0] = EndSlope(h[0], h[1], d[0], d[1]);
    curve.slope_[n - 1] = EndSlope(h[n - 2], h[n - 3], d[n - 2], d[n - 3]);
    return curve;
}

double ResponseCurve::LogLight(double x) const {
    if (x <= x_[0]) {
        return y_[0] + slope_[0] * (x - x_[0]);
    }
    int i = 0;
    while (i + 2 < knotCount_ && x > x_[i + 1]) {
        ++i;
    }
    const double h = x_[i + 1] - x_[i];
    return Hermite(y_[i], y_[i + 1], slope_[i], slope_[i + 1], h, (x - x_[i]) / h);
}

double ResponseCurve::Light(double drive) const {
    if (!(drive > 0.0)) {
        return 0.0;
    }
    if (drive >= kTop) {
        return 1.0;
    }
    const double x = std::log(drive / kTop);
    if (x >= x_[knotCount_ - 1]) {
        return 1.0;
    }
    const double light = std::exp(LogLight(x));
    return light < 1.0 ? light : 1.0;
}

double ResponseCurve::Drive(double light) const {
    if (!(light > 0.0)) {
        return 0.0;
    }
    if (light >= 1.0) {
        return kTop * std::exp(x_[knotCount_ - 1]);
    }
    const double y = std::log(light);
    if (y <= y_[0]) {
        return kTop * std::exp(x_[0] + (y - y_[0]) / slope_[0]);
    }
    int i = 0;
    while (i + 2 < knotCount_ && y > y_[i + 1]) {
        ++i;
    }
    // Each piece rises, so halving its span finds the one drive.
    double low = 0.0;
    double high = 1.0;
    const double h = x_[i + 1] - x_[i];
    for (int step = 0; step < 60; ++step) {
        const double t = (low + high) / 2;
        if (Hermite(y_[i], y_[i + 1], slope_[i], slope_[i + 1], h, t) < y) {
            low = t;
        } else {
            high = t;
        }
    }
    return kTop * std::exp(x_[i] + h * (low + high) / 2);
}

TonePoint EndPoint(bool blackEnd, double drive) {
    return {blackEnd ? kDarkestVisibleLight : kBrightestDistinctLight, drive};
}

bool EndBendsCurve(const ResponseCurve& curve, bool blackEnd, double drive) {
    double low;
    double high;
    if (blackEnd) {
        low = curve.Drive(kDarkestVisibleLight / 2);
        high = curve.Drive(kDarkestVisibleLight * 2);
    } else {
        const double gap = 1.0 - kBrightestDistinctLight;
        low = curve.Drive(1.0 - 2 * gap);
        high = curve.Drive(1.0 - gap / 2);
    }
    return drive < low || drive > high;
}

}  // namespace tonalis
