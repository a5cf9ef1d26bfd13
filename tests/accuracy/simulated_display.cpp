// The benchmark's displays.
#include "simulated_display.h"

#include <algorithm>
#include <cmath>

#include "unit/model/lcms_reference.h"

namespace tonalis::accuracy {

namespace {

constexpr double kPi = 3.14159265358979323846;

const Chromaticity kHdtv[3] = {{0.64, 0.33}, {0.30, 0.60}, {0.15, 0.06}};
const Chromaticity kWideGamutPrimaries[3] = {{0.64, 0.33}, {0.21, 0.71}, {0.15, 0.06}};
constexpr Chromaticity k6500K = {0.3128, 0.3292};

ChannelResponse Power(double gamma) {
    return [gamma](int, double d, double) { return std::pow(d, gamma); };
}

ChannelResponse PowerPerChannel(double red, double green, double blue) {
    return [=](int c, double d, double) {
        return std::pow(d, c == 0 ? red : c == 1 ? green : blue);
    };
}

// A black that glows: a share of the white at drive 0.
ChannelResponse RaisedBlack(double gamma, double black) {
    return [=](int, double d, double) { return black + (1 - black) * std::pow(d, gamma); };
}

ChannelResponse SrgbCurve() {
    return [](int, double d, double) {
        return d <= 0.04045 ? d / 12.92 : std::pow((d + 0.055) / 1.055, 2.4);
    };
}

// A CRT of gamma 2.5 whose brightness knob moves the cut-off: below it no
// light, a negative cut-off lifts the black.
ChannelResponse Crt() {
    return [](int, double d, double cutOff) {
        return d > cutOff ? std::pow((d - cutOff) / (1 - cutOff), 2.5) : 0.0;
    };
}

// Contrast raised around the middle: darker shadows, brighter highlights,
// the same half light as gamma 2.2 at drive 0.5.
ChannelResponse SCurve() {
    return [](int, double d, double) {
        return std::pow(d - 0.5 * std::sin(2 * kPi * d) / (2 * kPi), 2.2);
    };
}

// A display that takes video levels 16 to 235 as black to white, fed levels
// 0 to 255.
ChannelResponse VideoRange() {
    return [](int, double d, double) {
        return std::pow(std::clamp((255 * d - 16) / 219, 0.0, 1.0), 2.2);
    };
}

SimulatedDisplay Make(const char* id, const char* label, const Chromaticity primaries[3],
                      Chromaticity white, ChannelResponse response, bool fits) {
    SimulatedDisplay d;
    d.id = id;
    d.label = label;
    for (int c = 0; c < 3; ++c) {
        d.primaries[c] = primaries[c];
    }
    d.white = white;
    const auto rows = reference::RgbToXyzRows(primaries, white);
    for (int r = 0; r < 3; ++r) {
        for (int k = 0; k < 3; ++k) {
            d.rows[r][k] = rows[r][k];
        }
    }
    d.response = std::move(response);
    d.modelFits = fits;
    return d;
}

}  // namespace

double ChannelLight(const SimulatedDisplay& display, int channel, double drive) {
    return display.response(channel, drive, display.brightness);
}

Tristimulus Show(const SimulatedDisplay& display, const double drive[3]) {
    double xyz[3] = {0, 0, 0};
    for (int c = 0; c < 3; ++c) {
        const double light = ChannelLight(display, c, drive[c]);
        for (int k = 0; k < 3; ++k) {
            xyz[k] += light * display.rows[c][k];
        }
    }
    return {xyz[0], xyz[1], xyz[2]};
}

std::vector<SimulatedDisplay> BenchmarkDisplays() {
    std::vector<SimulatedDisplay> d;
    d.push_back(Make("power-1.8", "power law 1.8", kHdtv, k6500K, Power(1.8), true));
    d.push_back(Make("power-2.2", "power law 2.2", kHdtv, k6500K, Power(2.2), true));
    d.push_back(Make("power-2.6", "power law 2.6", kHdtv, k6500K, Power(2.6), true));
    d.push_back(Make("black-0.5", "black at 0.5 %", kHdtv, k6500K, RaisedBlack(2.2, 0.005), true));
    d.push_back(Make("per-channel", "2.0/2.2/2.5, 7500K", kHdtv, {0.2991, 0.3150},
                     PowerPerChannel(2.0, 2.2, 2.5), true));
    d.back().matchesEachChannel = true;
    d.push_back(Make("white-5000", "native 5000K", kHdtv, {0.3457, 0.3587}, Power(2.2), true));
    d.push_back(Make("white-5500", "native 5500K", kHdtv, {0.3325, 0.3476}, Power(2.2), true));
    d.push_back(Make("white-9300", "native 9300K", kHdtv, {0.2831, 0.2970}, Power(2.2), true));
    d.push_back(Make("crt", "CRT 2.5, cut-off", kHdtv, k6500K, Crt(), true));
    d.back().hasBrightnessKnob = true;
    d.back().brightness = -0.03;  // as it came: the black a little lifted
    d.push_back(Make("srgb", "sRGB curve", kHdtv, k6500K, SrgbCurve(), false));
    d.push_back(Make("black-1", "black at 1 %", kHdtv, k6500K, RaisedBlack(2.2, 0.01), false));
    d.push_back(Make("white-pink", "native x.335 y.335", kHdtv, {0.335, 0.335}, Power(2.2), false));
    d.push_back(
        Make("white-green", "native x.295 y.325", kHdtv, {0.295, 0.325}, Power(2.2), false));
    d.push_back(Make("wide-gamut", "wide gamut, 5500K", kWideGamutPrimaries, {0.3325, 0.3476},
                     Power(2.2), false));
    d.push_back(Make("s-curve", "S-shaped curve", kHdtv, k6500K, SCurve(), false));
    d.push_back(Make("video-range", "16-235 display", kHdtv, k6500K, VideoRange(), false));
    return d;
}

}  // namespace tonalis::accuracy
