// A second launch while a run is open, in a process of its own as each
// Control Panel launch is: it brings the open run to the front and changes
// nothing of it.
#include <windows.h>
#include <cpl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "applet_library.h"
#include "applet_run.h"
#include "resources/resource.h"
#include "system_state.h"
#include "window_driver.h"

namespace tonalis::e2e {
namespace {

constexpr int kMacintoshGamma = 0;

BOOL CALLBACK CloseWindowOf(HWND window, LPARAM processId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == static_cast<DWORD>(processId) && IsWindowVisible(window)) {
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

// Messages for this thread's windows are taken while waiting, so that a
// window of another process can take the activation from them.
bool EndedInTime(HANDLE process, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
        DWORD left = ms - std::min(ms, GetTickCount() - start);
        DWORD waited = MsgWaitForMultipleObjects(1, &process, FALSE, left, QS_ALLINPUT);
        if (waited != WAIT_OBJECT_0 + 1) {
            return waited == WAIT_OBJECT_0;
        }
    }
}

// The applet double-clicked in Wine's Control Panel; true when that process
// ended by itself. One that stays open is closed, so that the suite goes on.
bool LaunchEndsByItself() {
    std::string command = "control.exe \"" + AppletPath() + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        throw DriverError("control.exe did not start");
    }
    const bool ended = EndedInTime(process.hProcess, kDefaultWaitMs);
    for (int round = 0; round < 20 && !EndedInTime(process.hProcess, 500); ++round) {
        EnumWindows(CloseWindowOf, process.dwProcessId);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ended;
}

// The names of the start tables that runs keep in the registry.
std::string StartTablesKept() {
    std::string names;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kUserKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return names;
    }
    char name[64];
    DWORD size = sizeof name;
    for (DWORD i = 0; RegEnumValueA(key, i++, name, &size, nullptr, nullptr, nullptr, nullptr) == 0;
         size = sizeof name) {
        names += strncmp(name, "StartGammaRamp", 14) == 0 ? std::string(name) + " " : "";
    }
    RegCloseKey(key);
    return names;
}

TEST(SecondLaunch, BringsTheOpenRunToTheFrontAndLeavesItsPreview) {
    CleanSystem clean;
    AppletLibrary applet;
    ASSERT_EQ(applet.Send(CPL_INIT), 1);
    SetDword(HKEY_CURRENT_USER, kUserKey, "WizardOrPanel", 2);
    const Ramp start = ScreenRamp();
    const char* setup = getenv("TONALIS_DISPLAY_SETUP");
    const bool ramp = setup != nullptr && strncmp(setup, "dummy", 5) == 0;
    Ramp preview = {}, afterLaunch = {};
    bool minimized = false, secondEnded = false, restored = false, inFront = false;

    RunRecord run = RunDoubleClick(applet, [&] {
        HWND panel = WaitFor([] { return FindDialogWith(IDC_PANEL_WIZARD); }, "dialog 324");
        if (ramp) {
            Choose(panel, IDC_GAMMA_LIST, kMacintoshGamma);
            WaitUntil([&] { return Text(panel, IDC_GAMMA_EDIT) == "1.80"; }, "gamma 1.80");
        }
        preview = ScreenRamp();
        // The user went on with something else.
        ShowWindow(panel, SW_MINIMIZE);
        HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                     nullptr, nullptr, nullptr, nullptr);
        SetForegroundWindow(other);
        minimized = IsIconic(panel) && GetForegroundWindow() == other;
        secondEnded = LaunchEndsByItself();
        afterLaunch = ScreenRamp();
        restored = !IsIconic(panel);
        inFront = GetForegroundWindow() == panel;
        DestroyWindow(other);
        Click(panel, IDCANCEL);
    });

    EXPECT_EQ(run.failure, "");
    EXPECT_TRUE(minimized);
    EXPECT_TRUE(secondEnded) << "the second launch opened windows of its own";
    EXPECT_TRUE(restored && inFront) << "restored " << restored << ", in front " << inFront;
    EXPECT_TRUE(run.messages.empty()) << run.messages.front().text;
    if (ramp) {
        EXPECT_GT(RampDistance(preview, start), 512) << "the preview";
        EXPECT_EQ(RampDistance(afterLaunch, preview), 0) << "the second launch changed the preview";
        EXPECT_LE(RampDistance(ScreenRamp(), start), 512) << "Cancel puts the start table back";
    }
    EXPECT_EQ(StartTablesKept(), "") << "no run leaves its start tables behind";
    applet.Send(CPL_EXIT);
}

}  // namespace
}  // namespace tonalis::e2e
