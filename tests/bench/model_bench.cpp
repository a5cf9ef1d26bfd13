// Speed of the arithmetic behind a slider drag: every notification rebuilds the
// whole lookup table, and choosing a white point recomputes the peaks.
#include <benchmark/benchmark.h>

#include "model/gamma_ramp.h"
#include "model/presets.h"
#include "model/white_point.h"

namespace tonalis {
namespace {

void BM_BuildGammaRamp(benchmark::State& state) {
    const double gamma[3] = {2.2, 2.2, 2.2};
    double factor[3] = {1.0, 1.1, 0.9};
    for (auto _ : state) {
        // A new factor each time, as a moving slider gives.
        factor[0] = factor[0] > 1.9 ? 0.6 : factor[0] + 0.01;
        GammaRamp ramp = BuildGammaRamp(gamma, factor, 0x00A1C0FF);
        benchmark::DoNotOptimize(ramp);
    }
}
BENCHMARK(BM_BuildGammaRamp)->Unit(benchmark::kMicrosecond);

void BM_WhitePointToPeaks(benchmark::State& state) {
    const Chromaticity* primaries = kPhosphorPresets[1].primaries;
    const Chromaticity hardware = GetWhitePreset(2);
    const double factor[3] = {1.0, 1.0, 1.0};
    int preset = 0;
    for (auto _ : state) {
        uint32_t whiteRgb = 0;
        const bool ok =
            WhitePointToPeaks(GetWhitePreset(preset), primaries, hardware, factor, &whiteRgb);
        preset = (preset + 1) % kWhitePresetCount;
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(whiteRgb);
    }
}
BENCHMARK(BM_WhitePointToPeaks);

}  // namespace
}  // namespace tonalis
