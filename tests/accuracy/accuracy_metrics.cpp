// The accuracy of a table on a simulated display, and the table that does
// best.
#include "accuracy_metrics.h"

#include <algorithm>
#include <cmath>

#include "unit/model/lcms_reference.h"

namespace tonalis::accuracy {

namespace {

constexpr int kGreySteps = 17;
constexpr int kMidInput = 128;
constexpr int kTopInput = kRampSize - 1;

cmsCIEXYZ AsLcms(const Tristimulus& t) {
    return {t.X, t.Y, t.Z};
}

Chromaticity ChromaticityOf(const Tristimulus& t) {
    const double sum = t.X + t.Y + t.Z;
    return {t.X / sum, t.Y / sum};
}

// What the display shows for the same input level on every channel, or for
// one channel at input level with the others at 0.
Tristimulus ShowInput(const SimulatedDisplay& display, const DriveTable& table, int red, int green,
                      int blue) {
    const double drive[3] = {table.drive[0][red], table.drive[1][green], table.drive[2][blue]};
    return Show(display, drive);
}

// The drive that gives this light on one channel, found by halving: every
// response rises (or stays flat) with the drive.
double DriveForLight(const SimulatedDisplay& display, int channel, double light) {
    if (light <= ChannelLight(display, channel, 0.0)) {
        return 0.0;
    }
    if (light >= ChannelLight(display, channel, 1.0)) {
        return 1.0;
    }
    double low = 0.0, high = 1.0;
    for (int i = 0; i < 60; ++i) {
        const double middle = 0.5 * (low + high);
        (ChannelLight(display, channel, middle) < light ? low : high) = middle;
    }
    return 0.5 * (low + high);
}

}  // namespace

DriveTable DrivesOf(const GammaRamp& ramp) {
    DriveTable table;
    for (int c = 0; c < 3; ++c) {
        for (int i = 0; i < kRampSize; ++i) {
            table.drive[c][i] = (ramp.Channel(c)[i] >> 8) / 255.0;
        }
    }
    return table;
}

double DeltaE2000(const cmsCIELab& a, const cmsCIELab& b) {
    return cmsCIE2000DeltaE(&a, &b, 1.0, 1.0, 1.0);
}

double DeltaUv(Chromaticity a, Chromaticity b) {
    auto uv = [](Chromaticity c, double* u, double* v) {
        const double d = -2 * c.x + 12 * c.y + 3;
        *u = 4 * c.x / d;
        *v = 9 * c.y / d;
    };
    double ua, va, ub, vb;
    uv(a, &ua, &va);
    uv(b, &ub, &vb);
    return std::hypot(ua - ub, va - vb);
}

Accuracy Measure(const SimulatedDisplay& display, const DriveTable& table, const Target& target) {
    const Tristimulus white = ShowInput(display, table, kTopInput, kTopInput, kTopInput);
    const double luminance = white.Y;
    const cmsCIEXYZ reference = {
        target.white.x / target.white.y * luminance, luminance,
        (1 - target.white.x - target.white.y) / target.white.y * luminance};
    double sum = 0.0, worst = 0.0;
    int count = 0;
    auto compare = [&](const Tristimulus& shown, const cmsCIEXYZ& wanted) {
        cmsCIELab shownLab, wantedLab;
        const cmsCIEXYZ s = AsLcms(shown);
        cmsXYZ2Lab(&reference, &shownLab, &s);
        cmsXYZ2Lab(&reference, &wantedLab, &wanted);
        const double e = DeltaE2000(shownLab, wantedLab);
        sum += e;
        worst = std::max(worst, e);
        ++count;
    };
    for (int step = 0; step < kGreySteps; ++step) {
        const int input = int(std::lround(step * 255.0 / (kGreySteps - 1)));
        const double share = std::pow(input / 255.0, target.gamma);
        compare(ShowInput(display, table, input, input, input),
                {reference.X * share, reference.Y * share, reference.Z * share});
    }
    // Each primary in the amount that makes the target white with the others.
    const auto rows = reference::RgbToXyzRows(display.primaries, target.white);
    for (int c = 0; c < 3; ++c) {
        const int input[3] = {c == 0 ? kTopInput : 0, c == 1 ? kTopInput : 0,
                              c == 2 ? kTopInput : 0};
        compare(ShowInput(display, table, input[0], input[1], input[2]),
                {rows[c][0] * luminance, rows[c][1] * luminance, rows[c][2] * luminance});
    }
    const Tristimulus mid = ShowInput(display, table, kMidInput, kMidInput, kMidInput);
    Accuracy a;
    a.meanDeltaE = sum / count;
    a.maxDeltaE = worst;
    a.gammaAt50 = std::log(mid.Y / luminance) / std::log(kMidInput / 255.0);
    a.whiteDeltaUv = DeltaUv(ChromaticityOf(white), target.white);
    a.greyDeltaUv = DeltaUv(ChromaticityOf(mid), target.white);
    return a;
}

DriveTable ExactInverse(const SimulatedDisplay& display, const Target& target) {
    // The light of each channel that makes the target white, as much of it as
    // the display gives.
    const auto amounts =
        reference::XyzToRgb(display.primaries, display.white,
                            {target.white.x / target.white.y, 1.0,
                             (1 - target.white.x - target.white.y) / target.white.y});
    const double largest = std::max({amounts[0], amounts[1], amounts[2]});
    DriveTable table;
    for (int i = 0; i < kRampSize; ++i) {
        const double share = std::pow(i / 255.0, target.gamma);
        for (int c = 0; c < 3; ++c) {
            table.drive[c][i] = DriveForLight(display, c, share * amounts[c] / largest);
        }
    }
    return table;
}

}  // namespace tonalis::accuracy
