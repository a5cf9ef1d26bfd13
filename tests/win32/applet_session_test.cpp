// The start-up checks of a run and the state of a new session.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "applet/init_session.h"
#include "applet/run_applet.h"
#include "session/session_context.h"
#include "applet_seams.h"
#include "display/start_ramp_memory.h"
#include "resources/string_ids.h"

namespace tonalis {
namespace {

using testing::LoadTestString;
using testing::ScopedFakeSystem;

constexpr char kUserKey[] = "SOFTWARE\\Orvane\\Tonalis";

// Sets the remembered mode and monitor for one test and restores the key after.
class RememberedPreferences {
  public:
    RememberedPreferences(DWORD mode, DWORD lastMonitor) {
        hadKey_ = RegOpenKeyExA(HKEY_CURRENT_USER, kUserKey, 0, KEY_READ, &key_) == ERROR_SUCCESS;
        if (hadKey_) {
            RegCloseKey(key_);
        }
        RegCreateKeyExA(HKEY_CURRENT_USER, kUserKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                        nullptr);
        Save("WizardOrPanel", &savedMode_, &hadMode_);
        Save("LastCalibratedMonitor", &savedMonitor_, &hadMonitor_);
        RegSetValueExA(key_, "WizardOrPanel", 0, REG_DWORD, reinterpret_cast<BYTE*>(&mode),
                       sizeof mode);
        RegSetValueExA(key_, "LastCalibratedMonitor", 0, REG_DWORD,
                       reinterpret_cast<BYTE*>(&lastMonitor), sizeof lastMonitor);
    }
    ~RememberedPreferences() {
        Restore("WizardOrPanel", savedMode_, hadMode_);
        Restore("LastCalibratedMonitor", savedMonitor_, hadMonitor_);
        RegCloseKey(key_);
    }

  private:
    void Save(const char* name, DWORD* value, bool* had) {
        DWORD size = sizeof *value;
        *had = RegQueryValueExA(key_, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value),
                                &size) == ERROR_SUCCESS;
    }
    void Restore(const char* name, DWORD value, bool had) {
        if (had) {
            RegSetValueExA(key_, name, 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), sizeof value);
        } else {
            RegDeleteValueA(key_, name);
        }
    }

    HKEY key_ = nullptr;
    bool hadKey_ = false;
    DWORD savedMode_ = 0, savedMonitor_ = 0;
    bool hadMode_ = false, hadMonitor_ = false;
};

struct FreeSession {
    void operator()(SessionContext* session) const { std::free(session); }
};
using SessionPointer = std::unique_ptr<SessionContext, FreeSession>;

SessionPointer NewSession() {
    return SessionPointer(static_cast<SessionContext*>(std::calloc(1, sizeof(SessionContext))));
}

// The run ends at once, as a normal run does, forgetting its start ramps.
bool StartSession(SessionContext* session) {
    bool started = InitSession(session, GetDesktopWindow(), GetModuleHandleA(nullptr));
    ForgetStartRamps();
    return started;
}

struct SystemCase {
    const char* name;
    DWORD platformId;
    DWORD majorVersion;
    bool isAdministrator;
    int expectedMessage;  // 0: the checks pass
};

class SystemCheck : public ::testing::TestWithParam<SystemCase> {};

TEST_P(SystemCheck, AdministratorRightsAreDemandedFromNt5On) {
    const SystemCase& c = GetParam();
    ScopedFakeSystem fake;
    fake.state().platformId = c.platformId;
    fake.state().majorVersion = c.majorVersion;
    fake.state().isAdministrator = c.isAdministrator;
    SessionPointer session = NewSession();

    bool started = StartSession(session.get());

    EXPECT_EQ(started, c.expectedMessage == 0);
    if (c.expectedMessage == 0) {
        EXPECT_TRUE(fake.state().messages.empty());
    } else {
        ASSERT_EQ(fake.state().messages.size(), 1u);
        EXPECT_EQ(fake.state().messages[0].text, LoadTestString(c.expectedMessage));
        EXPECT_EQ(fake.state().messages[0].caption, "Tonalis");
        EXPECT_EQ(fake.state().messages[0].style, UINT(MB_OK | MB_ICONHAND));
        EXPECT_EQ(fake.state().messages[0].owner, nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Versions, SystemCheck,
    ::testing::Values(
        SystemCase{"Nt4User", VER_PLATFORM_WIN32_NT, 4, false, 0},
        SystemCase{"Win98User", VER_PLATFORM_WIN32_WINDOWS, 4, false, 0},
        SystemCase{"Win2000User", VER_PLATFORM_WIN32_NT, 5, false, strings::kAdministratorRequired},
        SystemCase{"Win7User", VER_PLATFORM_WIN32_NT, 6, false, strings::kAdministratorRequired},
        SystemCase{"Win2000Administrator", VER_PLATFORM_WIN32_NT, 5, true, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SystemCheck, FailingVersionQuerySkipsTheAdministratorCheck) {
    ScopedFakeSystem fake;
    fake.state().versionQueryWorks = false;
    fake.state().isAdministrator = false;
    SessionPointer session = NewSession();

    EXPECT_TRUE(StartSession(session.get()));
    EXPECT_FALSE(session->isNt5OrLater);
    EXPECT_EQ(fake.state().versionSizesAsked, (std::vector<DWORD>{156, 148}));
}

TEST(SystemCheck, PlainVersionInfoIsTheFallback) {
    ScopedFakeSystem fake;
    fake.state().onlyPlainVersionInfoWorks = true;
    fake.state().isAdministrator = false;
    SessionPointer session = NewSession();

    EXPECT_FALSE(StartSession(session.get()));
    EXPECT_TRUE(session->isNt5OrLater);
    ASSERT_EQ(fake.state().messages.size(), 1u);
    EXPECT_EQ(fake.state().messages[0].text, LoadTestString(strings::kAdministratorRequired));
}

struct DisplayCase {
    const char* name;
    int bitsPerPixel;
    int planes;
    bool hasPalette;
    int expectedMessage;
};

class DisplayCheck : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(DisplayCheck, NeedsAtLeast256Colours) {
    const DisplayCase& c = GetParam();
    ScopedFakeSystem fake;
    fake.state().bitsPerPixel = c.bitsPerPixel;
    fake.state().planes = c.planes;
    fake.state().rasterCaps = c.hasPalette ? RC_PALETTE : 0;
    SessionPointer session = NewSession();

    bool started = StartSession(session.get());

    EXPECT_EQ(started, c.expectedMessage == 0);
    if (c.expectedMessage == 0) {
        EXPECT_TRUE(fake.state().messages.empty());
        EXPECT_EQ(session->isPaletteDevice != FALSE, c.hasPalette);
    } else {
        ASSERT_EQ(fake.state().messages.size(), 1u);
        EXPECT_EQ(fake.state().messages[0].text, LoadTestString(c.expectedMessage));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Depths, DisplayCheck,
    ::testing::Values(DisplayCase{"Sixteen", 4, 1, false, strings::kDisplayNeeds256Colours},
                      DisplayCase{"SixteenInPlanes", 1, 4, true, strings::kDisplayNeeds256Colours},
                      DisplayCase{"EightWithPalette", 8, 1, true, 0},
                      DisplayCase{"EightWithoutPalette", 8, 1, false, strings::kChangeTo256Colours},
                      DisplayCase{"EightInPlanesWithoutPalette", 2, 4, false,
                                  strings::kChangeTo256Colours},
                      DisplayCase{"HighColour", 16, 1, false, 0},
                      DisplayCase{"TrueColour", 24, 1, false, 0},
                      DisplayCase{"TrueColourWithPalette", 32, 1, true, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NewSession, StartsFromTheFirstMonitor) {
    ScopedFakeSystem fake;
    RememberedPreferences remembered(0x102, 0);
    SessionPointer session = NewSession();

    ASSERT_TRUE(StartSession(session.get()));

    EXPECT_EQ(session->uiMode, kUiModePanel);  // only the low byte counts
    EXPECT_EQ(session->whitePointStep, 5);
    EXPECT_EQ(session->ownerWindow, GetDesktopWindow());
    EXPECT_EQ(session->instance, GetModuleHandleA(nullptr));
    EXPECT_FALSE(session->panelShown);
    ASSERT_GE(session->monitorCount, 1);
    ASSERT_LE(session->monitorCount, kMaxMonitors);
    EXPECT_EQ(
        0, std::memcmp(&session->workingSettings, &session->monitors[0], sizeof(MonitorSettings)));
    EXPECT_EQ(0,
              std::memcmp(&session->savedSettings, &session->monitors[0], sizeof(MonitorSettings)));
    EXPECT_EQ(session->patternPalette.palVersion, 0x300);
    EXPECT_EQ(session->patternPalette.palNumEntries, kPatternPaletteEntries);
    const PALETTEENTRY& darkGrey = session->patternPalette.palPalEntry[5];
    EXPECT_EQ(RGB(darkGrey.peRed, darkGrey.peGreen, darkGrey.peBlue), RGB(38, 38, 38));
}

TEST(NewSession, RememberedMonitorBeyondTheDesktopIsIgnored) {
    ScopedFakeSystem fake;
    RememberedPreferences remembered(1, 3);
    SessionPointer session = NewSession();

    ASSERT_TRUE(StartSession(session.get()));

    ASSERT_LT(session->monitorCount, 4);
    EXPECT_EQ(session->currentMonitor, 0);
    EXPECT_EQ(session->uiMode, kUiModeWizard);
}

TEST(NewSession, TwoMonitorsRememberedSecondMonitorIsCurrent) {
    if (GetSystemMetrics(SM_CMONITORS) != 2) {
        GTEST_SKIP() << "needs a desktop of two monitors";
    }
    ScopedFakeSystem fake;
    RememberedPreferences remembered(2, 1);
    SessionPointer session = NewSession();

    ASSERT_TRUE(StartSession(session.get()));

    EXPECT_EQ(session->monitorCount, 2);
    EXPECT_EQ(session->currentMonitor, 1);
    // The copies still start from the first monitor's record.
    EXPECT_EQ(
        0, std::memcmp(&session->workingSettings, &session->monitors[0], sizeof(MonitorSettings)));
}

}  // namespace
}  // namespace tonalis
