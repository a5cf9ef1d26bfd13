// A table loaded and read back: displays that keep it at their own size and
// precision pass; one that reports success and keeps its old table does not.
#include <gtest/gtest.h>

#include "model/gamma_ramp.h"
#include "tool/ramp_resample.h"
#include "tool/table_load.h"

namespace tonalis::tool {
namespace {

// A display of gammaSize entries per channel that keeps bits of each entry,
// or keeps nothing it is given while it reports success.
class FakeDisplay : public DisplayAccess {
  public:
    FakeDisplay(int gammaSize, int bits, bool ignoresTables)
        : bits_(bits), ignores_(ignoresTables) {
        DisplayOutput output;
        output.name = "FAKE0";
        output.gammaSize = gammaSize;
        output.inUse = true;
        outputs_.push_back(output);
        held_.assign(3 * gammaSize, 0x8000);
    }
    const char* Noun() const override { return "output"; }
    const std::vector<DisplayOutput>& Outputs() const override { return outputs_; }
    bool KeepsProfiles() const override { return false; }
    bool StoredProfile(int, std::string*, bool*) override { return false; }
    bool WriteTable(int, const GammaRamp& ramp) override {
        const int size = outputs_[0].gammaSize;
        for (int c = 0; c < 3 && !ignores_; ++c) {
            const std::vector<uint16_t> entries = ResampleChannel(ramp, c, size);
            for (int j = 0; j < size; ++j) {
                held_[c * size + j] =
                    static_cast<uint16_t>(entries[j] >> (16 - bits_) << (16 - bits_));
            }
        }
        return true;
    }
    bool ReadTable(int, GammaRamp* ramp) override {
        const int size = outputs_[0].gammaSize;
        for (int c = 0; c < 3; ++c) {
            ChannelFromSize(&held_[c * size], size, ramp->Channel(c));
        }
        return true;
    }

  private:
    std::vector<DisplayOutput> outputs_;
    std::vector<uint16_t> held_;
    int bits_;
    bool ignores_;
};

TEST(TableLoad, ReadBackWithinTheDisplaysSizeAndPrecision) {
    const double gamma[3] = {1.8, 2.2, 2.5}, factor[3] = {0.8, 1.0, 1.3};
    const GammaRamp calibration = BuildGammaRamp(gamma, factor, 0x00E0F0FF);
    for (const GammaRamp& table : {calibration, IdentityTable()}) {
        for (int size : {256, 1024, 4096}) {
            for (int bits : {8, 10, 16}) {
                FakeDisplay display(size, bits, false);
                EXPECT_EQ(LoadAndVerifyTable(display, 0, table), "")
                    << "size " << size << ", " << bits << " bits";
            }
        }
        FakeDisplay ignoring(256, 16, true);
        EXPECT_NE(LoadAndVerifyTable(ignoring, 0, table).find("did not take"), std::string::npos);
    }
}

}  // namespace
}  // namespace tonalis::tool
