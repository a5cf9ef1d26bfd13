// Monitor enumeration and placement: the fallbacks of a system without the
// multi-monitor functions, desktops Wine cannot show, and Wine's two monitors
// under Xorg's dummy driver.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "session/session_context.h"
#include "applet_seams.h"
#include "display/monitors.h"
#include "resources/string_ids.h"
#include "system_seams.h"

namespace tonalis {
namespace {

using namespace testing;

std::unique_ptr<SessionContext> NewSession() {
    auto session = std::make_unique<SessionContext>();
    memset(session.get(), 0, sizeof *session);
    session->instance = GetModuleHandleA(nullptr);
    return session;
}

// A hidden top-level window at the given place, destroyed with the object;
// hidden windows spare Wine the wait for the X server to map them.
class TestWindow {
  public:
    TestWindow(int x, int y, int width, int height)
        : window_(CreateWindowExA(0, "STATIC", "tonalis test", WS_POPUP, x, y, width, height,
                                  nullptr, nullptr, nullptr, nullptr)) {}
    ~TestWindow() { DestroyWindow(window_); }
    HWND get() const { return window_; }
    RECT rect() const {
        RECT r = {};
        GetWindowRect(window_, &r);
        return r;
    }

  private:
    HWND window_;
};

void ExpectRect(const MonitorRect& actual, const RECT& expected) {
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_EQ(actual.bottom, expected.bottom);
}

class Monitors : public ::testing::Test {
  protected:
    CleanProductKeys clean_;
};

TEST_F(Monitors, WithoutTheFunctionsTheScreenIsOnePrimaryMonitor) {
    ScopedMissingMonitorFunctions missing;
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_FALSE(InitMonitorApi());

    const int metrics[][2] = {{SM_XVIRTUALSCREEN, 0},      {SM_YVIRTUALSCREEN, 0},
                              {SM_CXVIRTUALSCREEN, width}, {SM_CYVIRTUALSCREEN, height},
                              {SM_CMONITORS, 1},           {SM_SAMEDISPLAYFORMAT, 1},
                              {SM_CXSCREEN, width}};
    for (const auto& metric : metrics) {
        EXPECT_EQ(MonGetSystemMetrics(metric[0]), metric[1]) << "metric " << metric[0];
    }

    auto session = NewSession();
    ASSERT_TRUE(SetUpMonitors(session.get()));
    EXPECT_EQ(session->monitorCount, 1);
    EXPECT_STREQ(session->monitors[0].deviceName, "DISPLAY");
    ExpectRect(session->monitors[0].monitorRect, {0, 0, width, height});
    EXPECT_EQ(session->monitors[0].isPrimary, 1);
}

TEST_F(Monitors, FallbackMonitorOfARectangleOrWindow) {
    ScopedMissingMonitorFunctions missing;
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const RECT offTheTopLeft = {-10, -10, 0, 5};
    const RECT corner = {-10, -10, 1, 1};
    const RECT rightOfTheScreen = {width, 0, width + 10, 10};
    EXPECT_EQ(MonMonitorFromRect(&offTheTopLeft, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(MonMonitorFromRect(&offTheTopLeft, MONITOR_DEFAULTTONEAREST), PrimaryMonitorStub);
    EXPECT_EQ(MonMonitorFromRect(&corner, MONITOR_DEFAULTTONULL), PrimaryMonitorStub);
    EXPECT_EQ(MonMonitorFromRect(&rightOfTheScreen, MONITOR_DEFAULTTONULL), nullptr);

    TestWindow onScreen(10, 10, 100, 80);
    TestWindow offScreen(-500, -500, 100, 80);
    EXPECT_EQ(MonMonitorFromWindow(onScreen.get(), MONITOR_DEFAULTTONULL), PrimaryMonitorStub);
    EXPECT_EQ(MonMonitorFromWindow(offScreen.get(), MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(MonMonitorFromWindow(offScreen.get(), MONITOR_DEFAULTTONEAREST), PrimaryMonitorStub);
    // A minimised window counts where it would be restored.
    ShowWindow(onScreen.get(), SW_MINIMIZE);
    EXPECT_EQ(MonMonitorFromWindow(onScreen.get(), MONITOR_DEFAULTTONULL), PrimaryMonitorStub);
}

TEST_F(Monitors, FallbackMonitorInformation) {
    ScopedMissingMonitorFunctions missing;
    RECT workArea;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0));
    MONITORINFOEXA info = {};
    info.cbSize = 72;
    ASSERT_TRUE(MonGetMonitorInfo(PrimaryMonitorStub, &info));
    EXPECT_STREQ(info.szDevice, "DISPLAY");
    EXPECT_EQ(info.dwFlags, DWORD(MONITORINFOF_PRIMARY));
    EXPECT_TRUE(EqualRect(&info.rcWork, &workArea));
    EXPECT_EQ(info.rcMonitor.right, GetSystemMetrics(SM_CXSCREEN));

    MONITORINFOEXA plain = {};
    plain.cbSize = 40;
    ASSERT_TRUE(MonGetMonitorInfo(PrimaryMonitorStub, &plain));
    EXPECT_STREQ(plain.szDevice, "");  // the short record has no name
    plain.cbSize = 39;
    EXPECT_FALSE(MonGetMonitorInfo(PrimaryMonitorStub, &plain));
    info.cbSize = 72;
    EXPECT_FALSE(MonGetMonitorInfo(reinterpret_cast<HMONITOR>(0x1234), &info));
    EXPECT_FALSE(MonGetMonitorInfo(PrimaryMonitorStub, nullptr));
}

std::vector<FakeMonitor> FiveMonitors() {
    // Three on top, two below:  A B C
    //                           D E
    return {{{0, 0, 100, 100}, "\\\\.\\FAKE_A", true},
            {{100, 0, 200, 100}, "\\\\.\\FAKE_B", false},
            {{200, 0, 300, 100}, "\\\\.\\FAKE_C", false},
            {{0, 100, 100, 200}, "\\\\.\\FAKE_D", false},
            {{100, 100, 200, 200}, "\\\\.\\FAKE_E", false}};
}

TEST_F(Monitors, FiveMonitorsFillTheFirstFourFoundInQuadrantOrder) {
    ScopedFakeDesktop desktop(FiveMonitors(), 5);
    auto session = NewSession();
    ASSERT_TRUE(SetUpMonitors(session.get()));

    // A and B come from the top-left quadrant; then the bottom-left quadrant finds
    // D before the search ever reaches C's top-right one, and E after it.
    ASSERT_EQ(session->monitorCount, 4);
    const char* expected[] = {"\\\\.\\FAKE_A", "\\\\.\\FAKE_B", "\\\\.\\FAKE_D", "\\\\.\\FAKE_E"};
    const RECT rects[] = {
        {0, 0, 100, 100}, {100, 0, 200, 100}, {0, 100, 100, 200}, {100, 100, 200, 200}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_STREQ(session->monitors[i].deviceName, expected[i]) << "record " << i;
        ExpectRect(session->monitors[i].monitorRect, rects[i]);
        EXPECT_EQ(session->monitors[i].isPrimary, i == 0 ? 1 : 0);
        EXPECT_EQ(session->monitors[i].hasGammaRamp, 0);  // no device behind the name
    }
}

TEST_F(Monitors, FewerMonitorsThanCountedFallBackToOneDisplay) {
    ScopedFakeDesktop desktop(
        {{{0, 0, 640, 480}, "\\\\.\\FAKE_A", true}, {{640, 0, 1280, 480}, "\\\\.\\FAKE_B", false}},
        3);
    auto session = NewSession();
    ASSERT_TRUE(SetUpMonitors(session.get()));
    EXPECT_EQ(session->monitorCount, 1);
    EXPECT_STREQ(session->monitors[0].deviceName, "DISPLAY");
    ExpectRect(session->monitors[0].monitorRect, {0, 0, 640, 480});
    EXPECT_EQ(session->monitors[0].isPrimary, 1);
}

TEST_F(Monitors, ARecordThatReportedAnErrorFailsTheSetUp) {
    ScopedFakeDesktop desktop(
        {{{0, 0, 640, 480}, "\\\\.\\FAKE_A", true}, {{640, 0, 1280, 480}, "\\\\.\\FAKE_B", false}},
        2);
    ScopedFakeSystem messages;
    ScopedFakeProfileSystem profile;
    profile.state().everyAllocationFails = true;  // no default profile path
    auto session = NewSession();

    EXPECT_FALSE(SetUpMonitors(session.get()));
    EXPECT_EQ(session->monitorCount, 2);
    ASSERT_EQ(messages.state().messages.size(), 2u);
    EXPECT_EQ(messages.state().messages[1].text, LoadTestString(strings::kInternalError));
}

TEST_F(Monitors, ARegionThatCannotBeReadHoldsNoMonitor) {
    // A region handle that no longer exists, as a failed region call leaves behind.
    HRGN gone = CreateRectRgn(0, 0, 640, 480);
    DeleteObject(gone);
    const RECT probe = {0, 0, 640, 480};
    EXPECT_EQ(FindMonitorInProbe(gone, &probe), nullptr);
    EXPECT_EQ(FindMonitorInRegion(gone), nullptr);
}

TEST_F(Monitors, IndexOfWindowFollowsTheDeviceNameExactly) {
    ScopedFakeDesktop desktop(
        {{{0, 0, 640, 480}, "\\\\.\\FAKE_A", true}, {{640, 0, 1280, 480}, "\\\\.\\FAKE_B", false}},
        2);
    auto session = NewSession();
    TestWindow window(700, 100, 200, 100);
    session->frameWindow = window.get();
    session->monitorCount = 1;
    EXPECT_EQ(MonitorIndexOfWindow(session.get()), 0);
    EXPECT_EQ(desktop.monitorFromWindowCalls(), 0);

    session->monitorCount = 2;
    strcpy(session->monitors[0].deviceName, "\\\\.\\FAKE_A");
    strcpy(session->monitors[1].deviceName, "\\\\.\\FAKE_B");
    EXPECT_EQ(MonitorIndexOfWindow(session.get()), 1);
    strcpy(session->monitors[1].deviceName, "\\\\.\\fake_b");
    EXPECT_EQ(MonitorIndexOfWindow(session.get()), 0);
}

TEST_F(Monitors, CentringUsesTheCurrentMonitorsRectangle) {
    auto session = NewSession();
    TestWindow window(0, 0, 301, 201);
    session->frameWindow = window.get();
    session->monitorCount = 2;
    session->currentMonitor = 1;
    session->monitors[1].monitorRect = {-1024, 0, 0, 768};
    CentreOnCurrentMonitor(session.get());
    RECT r = window.rect();
    // (1024 - 301) / 2 = 361 and (768 - 201) / 2 = 283, truncated.
    EXPECT_EQ(r.left, -1024 + 361);
    EXPECT_EQ(r.top, 283);
    EXPECT_EQ(r.right - r.left, 301);

    // A window larger than the monitor starts left of and above it.
    session->monitors[1].monitorRect = {100, 100, 300, 200};
    CentreOnCurrentMonitor(session.get());
    r = window.rect();
    EXPECT_EQ(r.left, 100 + (200 - 301) / 2);
    EXPECT_EQ(r.top, 100 + (100 - 201) / 2);
}

// Xorg's dummy driver with a second output right or left of the first.
class TwoMonitors : public Monitors {
  protected:
    void SetUp() override {
        if (!IsTwoMonitorSetup()) {
            GTEST_SKIP() << "needs TONALIS_DISPLAY_SETUP dummy-right or dummy-left";
        }
        ASSERT_EQ(GetSystemMetrics(SM_CMONITORS), 2) << "Wine does not see the second output";
    }
};

TEST_F(TwoMonitors, AreNumberedByTheQuadrantSearch) {
    auto session = NewSession();
    ASSERT_TRUE(SetUpMonitors(session.get()));
    ASSERT_EQ(session->monitorCount, 2);
    const bool secondOnTheLeft = DisplaySetup() == "dummy-left";
    // The top-left probe finds the monitor on the left first.
    const RECT left = secondOnTheLeft ? RECT{-1024, 0, 0, 768} : RECT{0, 0, 1024, 768};
    const RECT right = secondOnTheLeft ? RECT{0, 0, 1024, 768} : RECT{1024, 0, 2048, 768};
    ExpectRect(session->monitors[0].monitorRect, left);
    ExpectRect(session->monitors[1].monitorRect, right);
    EXPECT_EQ(session->monitors[0].isPrimary, secondOnTheLeft ? 0 : 1);
    EXPECT_EQ(session->monitors[1].isPrimary, secondOnTheLeft ? 1 : 0);
    EXPECT_STRNE(session->monitors[0].deviceName, session->monitors[1].deviceName);

    // Each monitor's windows map to its record, and centring lands on it.
    for (int i = 0; i < 2; ++i) {
        const MonitorRect& m = session->monitors[i].monitorRect;
        TestWindow window(m.left + 50, m.top + 50, 300, 200);
        session->frameWindow = window.get();
        EXPECT_EQ(MonitorIndexOfWindow(session.get()), i);
        session->currentMonitor = 1 - i;
        CentreOnCurrentMonitor(session.get());
        const MonitorRect& other = session->monitors[1 - i].monitorRect;
        EXPECT_EQ(window.rect().left, other.left + (1024 - 300) / 2);
        EXPECT_EQ(window.rect().top, other.top + (768 - 200) / 2);
        EXPECT_EQ(MonitorIndexOfWindow(session.get()), 1 - i);
    }
}

}  // namespace
}  // namespace tonalis
