// Loading ramps into the display: the live preview, through which device it
// goes, putting the start ramps back, and the real ramp of Xorg's dummy driver.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "session/session_context.h"
#include "applet_seams.h"
#include "display/gamma_ramp_access.h"
#include "display/monitors.h"
#include "model/gamma_ramp.h"
#include "resources/string_ids.h"
#include "system_seams.h"

namespace tonalis {
namespace {

using namespace testing;

// Levels of the ramp for gamma 2.2, gamma factor 1.0 and full peaks at the
// inputs 0, 1, 2, 16, 64, 128, 192, 254 and 255.
constexpr int kInputs[] = {0, 1, 2, 16, 64, 128, 192, 254, 255};
constexpr int kLevels22[] = {0, 2, 4, 25, 80, 143, 201, 254, 255};

std::unique_ptr<SessionContext> NewSession(HWND frame, int monitorCount) {
    auto session = std::make_unique<SessionContext>();
    memset(session.get(), 0, sizeof *session);
    session->instance = GetModuleHandleA(nullptr);
    session->frameWindow = frame;
    session->monitorCount = monitorCount;
    MonitorSettings& working = session->workingSettings;
    working.hasGammaRamp = 1;
    working.whiteRgb = 0x00FFFFFF;
    for (int c = 0; c < 3; ++c) {
        working.gamma[c] = 2.2;
        working.gammaFactor[c] = 1.0;
    }
    return session;
}

class Frame {
  public:
    Frame()
        : window_(CreateWindowExA(0, "STATIC", "frame", WS_POPUP, 10, 10, 200, 100, nullptr,
                                  nullptr, nullptr, nullptr)) {}
    ~Frame() { DestroyWindow(window_); }
    HWND get() const { return window_; }

  private:
    HWND window_;
};

TEST(Preview, WithoutALookupTableTouchesNothing) {
    ScopedFakeDisplaySystem display;
    Frame frame;
    auto session = NewSession(frame.get(), 1);
    session->workingSettings.hasGammaRamp = 0;
    session->workingSettings.ramp.entries[5] = 1234;
    PreviewWorkingRamp(session.get());
    EXPECT_TRUE(display.state().writes.empty());
    EXPECT_EQ(session->workingSettings.ramp.entries[5], 1234);
}

TEST(Preview, OneMonitorLoadsThroughTheWindowsOwnDeviceContext) {
    ScopedFakeDisplaySystem display;
    Frame frame;
    auto session = NewSession(frame.get(), 1);
    PreviewWorkingRamp(session.get());

    ASSERT_EQ(display.state().writes.size(), 1u);
    const RampWrite& write = display.state().writes[0];
    EXPECT_EQ(write.window, frame.get());
    for (int c = 0; c < 3; ++c) {
        for (size_t i = 0; i < sizeof kInputs / sizeof kInputs[0]; ++i) {
            EXPECT_EQ(write.ramp.Channel(c)[kInputs[i]], kLevels22[i] * 256)
                << "channel " << c << " input " << kInputs[i];
        }
    }
    EXPECT_EQ(0, memcmp(&write.ramp, &session->workingSettings.ramp, sizeof write.ramp));
}

TEST(Preview, SeveralMonitorsLoadThroughTheMonitorsDevice) {
    ScopedFakeDisplaySystem display;
    Frame frame;
    auto session = NewSession(frame.get(), 2);
    PreviewWorkingRamp(session.get());
    ASSERT_EQ(display.state().writes.size(), 1u);
    EXPECT_EQ(display.state().writes[0].window, nullptr);
}

TEST(Preview, AWindowOffEveryMonitorFallsBackToItsOwnDeviceContext) {
    ScopedFakeDisplaySystem display;
    ScopedFakeDesktop desktop({{{1000, 1000, 1100, 1100}, "\\\\.\\FAKE_A", true}}, 1);
    Frame frame;
    GammaRamp ramp = {};
    LoadRampForWindow(frame.get(), true, &ramp);
    ASSERT_EQ(display.state().writes.size(), 1u);
    EXPECT_EQ(display.state().writes[0].window, frame.get());
}

TEST(Restore, PutsBackOnlyTheRampsThatWereRead) {
    ScopedFakeDisplaySystem display;
    auto session = NewSession(nullptr, 3);
    strcpy(session->monitors[0].deviceName, "DISPLAY");
    strcpy(session->monitors[1].deviceName, "DISPLAY");
    session->monitors[1].hasGammaRamp = 1;
    session->monitors[1].ramp.entries[255] = 0xABCD;
    strcpy(session->monitors[2].deviceName, "\\\\.\\NO_SUCH_DISPLAY");
    session->monitors[2].hasGammaRamp = 1;

    RestoreStartRamps(session.get());

    ASSERT_EQ(display.state().writes.size(), 1u);
    EXPECT_EQ(display.state().writes[0].ramp.entries[255], 0xABCD);
}

TEST(TwoMonitorsRamps, OnlyTheReadableRampIsPutBack) {
    if (!IsTwoMonitorSetup()) {
        GTEST_SKIP() << "needs TONALIS_DISPLAY_SETUP dummy-right or dummy-left";
    }
    CleanProductKeys clean;
    ScopedFakeDisplaySystem display;
    display.state().failingReads = {0};  // the first monitor's ramp cannot be read
    auto session = NewSession(nullptr, 0);

    ASSERT_TRUE(SetUpMonitors(session.get()));
    ASSERT_EQ(session->monitorCount, 2);
    EXPECT_EQ(session->monitors[0].hasGammaRamp, 0);
    ASSERT_EQ(session->monitors[1].hasGammaRamp, 1);

    RestoreStartRamps(session.get());
    ASSERT_EQ(display.state().writes.size(), 1u);
    EXPECT_EQ(
        0, memcmp(&display.state().writes[0].ramp, &session->monitors[1].ramp, sizeof(GammaRamp)));
}

// A display that reports success but keeps its old table, for every table or
// for those far from identity: the user hears of it once, the preview goes
// on, and the settings and the table a save writes are the user's.
class RefusedTable : public ::testing::TestWithParam<FakeTables> {};

TEST_P(RefusedTable, IsToldOnceAndTheSettingsStayTheUsers) {
    ScopedFakeSystem system;
    ScopedFakeDisplaySystem display;
    display.state().tables = GetParam();
    display.state().holdsTable = true;  // all black until it takes a table
    Frame frame;
    auto session = NewSession(frame.get(), 1);
    strcpy(session->monitors[0].deviceName, "DISPLAY");
    session->monitors[0].hasGammaRamp = 1;
    MonitorSettings& working = session->workingSettings;

    PreviewWorkingRamp(session.get());  // gamma 2.2: near identity
    const size_t toldAtFirst = GetParam() == FakeTables::IgnoresAll ? 1 : 0;
    EXPECT_EQ(system.state().messages.size(), toldAtFirst);
    working.whiteRgb = 0x00FFFF90;  // a strong correction: red peaks at 144
    PreviewWorkingRamp(session.get());
    working.gammaFactor[1] = 0.6;
    PreviewWorkingRamp(session.get());
    RestoreStartRamps(session.get());  // the black start table: far from identity

    EXPECT_EQ(display.state().writes.size(), 4u);
    ASSERT_EQ(system.state().messages.size(), 1u);
    EXPECT_EQ(system.state().messages[0].text, LoadTestString(strings::kTableRefused));
    EXPECT_EQ(system.state().messages[0].owner, frame.get());
    EXPECT_EQ(working.whiteRgb, 0x00FFFF90u);
    EXPECT_EQ(working.gammaFactor[1], 0.6);
    const GammaRamp users = BuildGammaRamp(working.gamma, working.gammaFactor, working.whiteRgb);
    EXPECT_EQ(0, memcmp(&working.ramp, &users, sizeof users));
}

INSTANTIATE_TEST_SUITE_P(Displays, RefusedTable,
                         ::testing::Values(FakeTables::IgnoresAll,
                                           FakeTables::RefusesFarFromIdentity));

// The X server keeps fewer bits than the ramp carries.
void ExpectRampNear(const GammaRamp& actual, const GammaRamp& expected, const char* what) {
    int worst = 0;
    for (int i = 0; i < kRampEntries; ++i) {
        worst = std::max(worst, std::abs(actual.entries[i] - expected.entries[i]));
    }
    EXPECT_LE(worst, 512) << what;
}

// The display's real ramp, saved before and put back after the test.
class XorgDummyRamp : public ::testing::Test {
  protected:
    void SetUp() override {
        if (DisplaySetup() != "dummy") {
            GTEST_SKIP() << "needs Xorg's dummy driver (TONALIS_DISPLAY_SETUP=dummy)";
        }
        screen_ = GetDC(nullptr);
        ASSERT_TRUE(GetDeviceGammaRamp(screen_, saved_.entries));
    }
    void TearDown() override {
        if (screen_ != nullptr) {
            SetDeviceGammaRamp(screen_, saved_.entries);
            ReleaseDC(nullptr, screen_);
        }
    }
    GammaRamp Current() {
        GammaRamp ramp = {};
        EXPECT_TRUE(GetDeviceGammaRamp(screen_, ramp.entries));
        return ramp;
    }

    CleanProductKeys clean_;
    ScopedFakeSystem system_;  // records the message of a refused table
    HDC screen_ = nullptr;
    GammaRamp saved_;
};

TEST_F(XorgDummyRamp, PreviewReachesTheServerAndCancelPutsTheStartBack) {
    Frame frame;
    auto session = NewSession(frame.get(), 0);
    ASSERT_TRUE(SetUpMonitors(session.get()));
    ASSERT_EQ(session->monitors[0].hasGammaRamp, 1);
    const GammaRamp start = session->monitors[0].ramp;
    ExpectRampNear(start, Current(), "the start ramp is the display's");

    session->workingSettings = session->monitors[0];
    MonitorSettings& working = session->workingSettings;
    working.whiteRgb = 0x00FFFFD4;  // red peaks at 212
    for (int c = 0; c < 3; ++c) {
        working.gamma[c] = c == 0 ? 1.8 : 2.2;
        working.gammaFactor[c] = 1.0;
    }
    PreviewWorkingRamp(session.get());

    const int redInputs[] = {0, 1, 128, 255};
    const int redLevels[] = {0, 5, 132, 212};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(Current().Channel(kRed)[redInputs[i]], redLevels[i] * 256, 512)
            << "red input " << redInputs[i];
    }
    for (size_t i = 0; i < sizeof kInputs / sizeof kInputs[0]; ++i) {
        EXPECT_NEAR(Current().Channel(kGreen)[kInputs[i]], kLevels22[i] * 256, 512)
            << "green input " << kInputs[i];
    }

    RestoreStartRamps(session.get());
    ExpectRampNear(Current(), start, "after cancelling");
    EXPECT_TRUE(system_.state().messages.empty()) << "every table read back as loaded";
}

}  // namespace
}  // namespace tonalis
