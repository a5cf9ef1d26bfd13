// The logarithmic mapping between a slider position and a value, quantised to
// 256 levels spaced evenly on a logarithmic scale.
#pragma once

#include <cstdint>

namespace tonalis {

// The native gamma sliders: positions 0 to 200 over factors 0.5 to 2.0.
constexpr int32_t kGammaFactorSliderMin = 0;
constexpr int32_t kGammaFactorSliderMax = 200;
constexpr double kGammaFactorLow = 0.5;
constexpr double kGammaFactorHigh = 2.0;

// The result is kept within low..high.
double SliderToValue(int32_t minPos, int32_t maxPos, int32_t pos, double low, double high);

// Inverse of SliderToValue. Values outside low..high give positions outside
// the slider's range, kept within 32 bits; a value that is not a number gives
// minPos.
int32_t ValueToSlider(int32_t minPos, int32_t maxPos, double value, double low, double high);

}  // namespace tonalis
