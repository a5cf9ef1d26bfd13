// Logarithmic slider mapping in 256 steps.
#include "model/slider_mapping.h"

#include <cmath>
#include <limits>

namespace tonalis {

namespace {

constexpr int kSliderSteps = 255;

}  // namespace

double SliderToValue(int32_t minPos, int32_t maxPos, int32_t pos, double low, double high) {
    const double span = static_cast<double>(maxPos) - static_cast<double>(minPos);
    // A slider without a range has only its first step.
    double step = 0.0;
    if (span != 0.0) {
        step = std::trunc((static_cast<double>(pos) - minPos) / span * kSliderSteps + 0.5);
    }
    const double base = std::pow(high / low, 1.0 / kSliderSteps);
    const double value = low * std::pow(base, step);
    if (value > high) {
        return high;
    }
    if (value < low) {
        return low;
    }
    return value;
}

int32_t ValueToSlider(int32_t minPos, int32_t maxPos, double value, double low, double high) {
    const double span = static_cast<double>(maxPos) - static_cast<double>(minPos);
    const double position =
        minPos + std::trunc(span * std::log(value / low) / std::log(high / low) + 0.5);
    // Guards the conversion below, which is undefined outside the 32-bit range.
    if (std::isnan(position)) {
        return minPos;
    }
    if (position <= std::numeric_limits<int32_t>::min()) {
        return std::numeric_limits<int32_t>::min();
    }
    if (position >= std::numeric_limits<int32_t>::max()) {
        return std::numeric_limits<int32_t>::max();
    }
    return static_cast<int32_t>(position);
}

}  // namespace tonalis
