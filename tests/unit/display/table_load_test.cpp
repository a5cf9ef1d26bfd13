// A table loaded and read back: displays that keep it at their own size and
// precision pass; one that reports success and keeps its old table does not.
#include <gtest/gtest.h>

#include "display/ramp_resample.h"
#include "display/table_load.h"
#include "model/gamma_ramp.h"

namespace tonalis {
namespace {

// size entries per channel keeping the top bits of each, or nothing at all.
struct FakeDisplay : DisplayAccess {
    FakeDisplay(int size, int bits, bool ignores) : bits(bits), ignores(ignores) {
        outputs.push_back({"FAKE0", size, true, false});
        held.assign(3 * size, 0x8000);
    }
    const char* Noun() const override { return "output"; }
    const std::vector<DisplayOutput>& Outputs() const override { return outputs; }
    bool KeepsProfiles() const override { return false; }
    bool WriteTable(int, const VcgtCurves& curves) override {
        const int size = outputs[0].gammaSize;
        for (int i = 0; i < 3 * size && !ignores; ++i) {
            held[i] = SampleVcgtCurve(curves, i / size, size)[i % size] & (0xFFFF << (16 - bits));
        }
        return true;
    }
    bool ReadTable(int, GammaRamp* ramp) override {
        const int size = outputs[0].gammaSize;
        for (int c = 0; c < 3; ++c) {
            ChannelFromSize(&held[c * size], size, ramp->Channel(c));
        }
        return true;
    }
    int bits;
    bool ignores;
    std::vector<DisplayOutput> outputs;
    std::vector<uint16_t> held;
};

// 1024 entries of 8 bits, as many cards keep them, and a display that keeps
// its old table while it reports success.
TEST(TableLoad, ReadBackWithinTheDisplaysSizeAndPrecision) {
    const double gamma[3] = {1.8, 2.2, 2.5}, factor[3] = {0.8, 1.0, 1.3};
    const GammaRamp built = BuildGammaRamp(gamma, factor, 0x00E0F0FF);
    VcgtCurves calibration;
    for (int c = 0; c < 3; ++c) {
        calibration.table[c].assign(built.Channel(c), built.Channel(c) + kRampSize);
    }
    for (const VcgtCurves& table : {calibration, IdentityCurves()}) {
        FakeDisplay coarse(1024, 8, false), ignoring(256, 16, true);
        EXPECT_EQ(LoadAndVerifyTable(coarse, 0, table), "");
        EXPECT_NE(LoadAndVerifyTable(ignoring, 0, table).find("did not take"), std::string::npos);
    }
}

}  // namespace
}  // namespace tonalis
