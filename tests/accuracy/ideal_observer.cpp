// The perfect eye on each page, in the wizard's order.
#include "ideal_observer.h"

#include <cmath>
#include <limits>

#include "model/gamma_ramp.h"
#include "model/matched_points.h"
#include "model/pattern_levels.h"
#include "model/presets.h"
#include "model/slider_mapping.h"
#include "model/starting_record.h"
#include "model/white_point.h"
#include "model/white_swatches.h"

namespace tonalis::accuracy {

namespace {

// Two areas that differ by less than this look the same to the eye; the
// brightness box asks for the centre to stay just visible.
constexpr double kJustNoticeable = 1.0;
// The brightness knob's travel in steps of the drive range.
constexpr double kKnobStep = 0.001;
constexpr int kKnobSteps = 500;

cmsCIELab LabOf(const Tristimulus& colour, const Tristimulus& white) {
    const cmsCIEXYZ w = {white.X, white.Y, white.Z};
    const cmsCIEXYZ c = {colour.X, colour.Y, colour.Z};
    cmsCIELab lab;
    cmsXYZ2Lab(&w, &lab, &c);
    return lab;
}

double Difference(const Tristimulus& a, const Tristimulus& b, const Tristimulus& white) {
    return DeltaE2000(LabOf(a, white), LabOf(b, white));
}

// Pattern levels through the table in the display.
Tristimulus ShowLevels(const SimulatedDisplay& display, const GammaRamp& ramp, int red, int green,
                       int blue) {
    const int levels[3] = {red, green, blue};
    double drive[3];
    for (int c = 0; c < 3; ++c) {
        drive[c] = (ramp.Channel(c)[levels[c]] >> 8) / 255.0;
    }
    return Show(display, drive);
}

// Page 304, seen through the table the display had at start (the identity):
// the knob turned down while the grey centre can still be told from the
// black square.
void SetBrightness(SimulatedDisplay* display, const GammaRamp& startRamp) {
    if (!display->hasBrightnessKnob) {
        return;
    }
    const double start = display->brightness;
    double kept = start;
    for (int step = 0; step <= kKnobSteps; ++step) {
        display->brightness = start + step * kKnobStep;
        const int grey = kBrightnessGreyLevel, black = kPatternBlackLevel;
        const Tristimulus white = ShowLevels(*display, startRamp, 255, 255, 255);
        if (Difference(ShowLevels(*display, startRamp, grey, grey, grey),
                       ShowLevels(*display, startRamp, black, black, black),
                       white) < kJustNoticeable) {
            break;
        }
        kept = display->brightness;
    }
    display->brightness = kept;
}

// The phosphor set of the list nearest the display's own: the eye cannot see
// primaries, and few users know them better.
int NearestPhosphorPreset(const SimulatedDisplay& display) {
    int nearest = 0;
    double nearestDistance = std::numeric_limits<double>::infinity();
    for (int preset = 0; preset < kPhosphorPresetCount; ++preset) {
        double distance = 0.0;
        for (int c = 0; c < 3; ++c) {
            const Chromaticity p = kPhosphorPresets[preset].primaries[c];
            distance += std::hypot(p.x - display.primaries[c].x, p.y - display.primaries[c].y);
        }
        if (distance < nearestDistance) {
            nearestDistance = distance;
            nearest = preset;
        }
    }
    return nearest;
}

// The record after the phosphors page and the target gamma's preset.
MonitorSettings BeforeTheSliders(const SimulatedDisplay& display, const Target& target) {
    MonitorSettings record = StartingRecord();
    GetPhosphorPreset(NearestPhosphorPreset(display), record.primaries);
    for (int c = 0; c < 3; ++c) {
        record.gamma[c] = target.gamma;
    }
    return record;
}

void SetSlider(MonitorSettings* record, int channel, int position, bool oneGrey) {
    record->gammaFactor[channel] = SliderToValue(kGammaFactorSliderMin, kGammaFactorSliderMax,
                                                 position, kGammaFactorLow, kGammaFactorHigh);
    if (oneGrey) {
        CopyGreenToOthers(record->gammaFactor);
    }
}

// Page 309: one patch, its slider moved over its whole range. The lined
// field shows line and black rows alike; the eye compares their mean with
// the solid centre.
SliderMatch MatchPatch(const SimulatedDisplay& display, MonitorSettings record, int channel,
                       bool oneGrey) {
    const CentreLevels centres = GammaCentreLevels(record);
    const int centre = oneGrey ? centres.green
                               : (channel == kRed     ? centres.red
                                  : channel == kGreen ? centres.green
                                                      : centres.blue);
    auto on = [&](int c, int level) { return oneGrey || c == channel ? level : 0; };
    int bestPosition = kGammaFactorSliderMin;
    double bestDifference = std::numeric_limits<double>::infinity();
    int screens[kGammaFactorSliderMax + 1];
    for (int position = kGammaFactorSliderMin; position <= kGammaFactorSliderMax; ++position) {
        SetSlider(&record, channel, position, oneGrey);
        const GammaRamp ramp = BuildGammaRamp(record.gamma, record.gammaFactor, record.whiteRgb);
        const int line = kPatternLineLevel, black = kPatternBlackLevel;
        const Tristimulus lines = ShowLevels(display, ramp, on(0, line), on(1, line), on(2, line));
        const Tristimulus dark = ShowLevels(display, ramp, black, black, black);
        const Tristimulus field = {(lines.X + dark.X) / 2, (lines.Y + dark.Y) / 2,
                                   (lines.Z + dark.Z) / 2};
        const Tristimulus solid =
            ShowLevels(display, ramp, on(0, centre), on(1, centre), on(2, centre));
        const Tristimulus white = ShowLevels(display, ramp, 255, 255, 255);
        const double difference = Difference(solid, field, white);
        if (difference < bestDifference) {
            bestDifference = difference;
            bestPosition = position;
        }
        // The centre's level is all that changes on the screen.
        screens[position] = ramp.Channel(oneGrey ? kGreen : channel)[centre] >> 8;
    }
    SliderMatch match = {bestPosition, bestPosition};
    while (match.low > kGammaFactorSliderMin && screens[match.low - 1] == screens[bestPosition]) {
        --match.low;
    }
    while (match.high < kGammaFactorSliderMax && screens[match.high + 1] == screens[bestPosition]) {
        ++match.high;
    }
    return match;
}

// The measurement screen: of the three squares the one nearest the swatch
// grey is clicked until it is the centre one.
void MeasureHardwareWhite(const SimulatedDisplay& display, MonitorSettings* record) {
    WhiteSwatchTable swatches = {};
    BuildWhiteSwatchTable(record->primaries, record->gamma, &swatches);
    const GammaRamp ramp =
        BuildGammaRamp(record->gamma, record->gammaFactor, record->whiteRgb, record->toneMatch);
    const double greySum = kSwatchGreyX + kSwatchGreyY + kSwatchGreyZ;
    const Chromaticity grey = {kSwatchGreyX / greySum, kSwatchGreyY / greySum};
    int step = FindWhiteStep(record->hardwareWhite);
    for (int click = 0; click < kWhiteLadderSteps; ++click) {
        int nearest = step;
        double nearestDistance = std::numeric_limits<double>::infinity();
        for (int square = step - 1; square <= step + 1; ++square) {
            const SwatchColour colour = SquareSwatch(swatches, square);
            const Tristimulus shown =
                ShowLevels(display, ramp, colour.red, colour.green, colour.blue);
            const double sum = shown.X + shown.Y + shown.Z;
            if (!(sum > 0.0)) {
                continue;  // a black square
            }
            const double distance = DeltaUv({shown.X / sum, shown.Y / sum}, grey);
            if (distance < nearestDistance) {
                nearestDistance = distance;
                nearest = square;
            }
        }
        if (nearest == step) {
            break;
        }
        step = nearest;
    }
    record->hardwareWhite = WhiteLadder[step];
}

// The share of the light above black that a channel, or the grey of all
// three, shows at a drive level 0..255.
double LightAboveBlack(const SimulatedDisplay& display, int channel, bool grey, double drive) {
    auto light = [&](double d) {
        if (!grey) {
            return ChannelLight(display, channel, d);
        }
        const double drives[3] = {d, d, d};
        return Show(display, drives).Y;
    };
    const double black = light(0.0);
    return (light(drive / 255) - black) / (light(1.0) - black);
}

double DriveShowing(const SimulatedDisplay& display, int channel, bool grey, double share) {
    double low = 0.0, high = 255.0;
    for (int i = 0; i < 60; ++i) {
        const double middle = (low + high) / 2;
        (LightAboveBlack(display, channel, grey, middle) < share ? low : high) = middle;
    }
    return (low + high) / 2;
}

// The fine-tuning step after the sliders: each pattern's centre faded into
// its frame exactly, the darkest step raised until it just shows and the
// brightest until it is just told from white; the half stays the slider's.
void FineTune(const SimulatedDisplay& display, MonitorSettings* record, bool oneGrey) {
    for (int c = 0; c < 3; ++c) {
        const int matched = oneGrey ? kGreen : c;
        const double half =
            255 * std::pow(0.5, 1 / (NominalCrtGamma * record->gammaFactor[matched]));
        const TonePoint seen[] = {
            {0.0, DriveShowing(display, matched, oneGrey, kDarkestVisibleLight)},
            {0.25, DriveShowing(display, matched, oneGrey, 0.25)},
            {0.5, half},
            {0.75, DriveShowing(display, matched, oneGrey, 0.75)},
            {1.0, DriveShowing(display, matched, oneGrey, kBrightestDistinctLight)}};
        double factor = record->gammaFactor[matched];
        ToneMatch match = {};
        if (SetMatchedPoints(seen, 5, &factor, &match)) {
            record->gammaFactor[c] = factor;
            record->toneMatch[c] = match;
        }
    }
}

MonitorSettings FinishFrom(const SimulatedDisplay& display, MonitorSettings record,
                           const Target& target, const int positions[3], bool oneGrey,
                           bool fineTune = false) {
    for (int c = 0; c < 3; ++c) {
        SetSlider(&record, oneGrey ? kGreen : c, positions[oneGrey ? kGreen : c], oneGrey);
    }
    if (fineTune) {
        FineTune(display, &record, oneGrey);
    }
    MeasureHardwareWhite(display, &record);
    record.adjustedWhite = target.white;
    WhitePointToPeaks(target.white, record.primaries, record.hardwareWhite, record.gammaFactor,
                      record.toneMatch, &record.whiteRgb);
    record.ramp =
        BuildGammaRamp(record.gamma, record.gammaFactor, record.whiteRgb, record.toneMatch);
    return record;
}

}  // namespace

EyeCalibration CalibrateByEye(SimulatedDisplay* display, const Target& target) {
    EyeCalibration calibration;
    calibration.oneGrey = !display->matchesEachChannel;
    SetBrightness(display, StartingRecord().ramp);
    const MonitorSettings record = BeforeTheSliders(*display, target);
    int positions[3];
    for (int c = 0; c < 3; ++c) {
        const int channel = calibration.oneGrey ? kGreen : c;
        calibration.sliders[c] = MatchPatch(*display, record, channel, calibration.oneGrey);
        positions[c] = calibration.sliders[c].Middle();
    }
    calibration.settings = FinishFrom(*display, record, target, positions, calibration.oneGrey);
    calibration.fineTuned =
        FinishFrom(*display, record, target, positions, calibration.oneGrey, true);
    return calibration;
}

MonitorSettings WithSliders(const SimulatedDisplay& display, const EyeCalibration& calibration,
                            const Target& target, const int positions[3]) {
    return FinishFrom(display, BeforeTheSliders(display, target), target, positions,
                      calibration.oneGrey);
}

}  // namespace tonalis::accuracy
