// A second launch while a run is open, in a process of its own as each
// Control Panel launch is: it brings the open run to the front and changes
// nothing of it.
#include <windows.h>
#include <cpl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "applet_library.h"
#include "applet_run.h"
#include "resources/resource.h"
#include "system_state.h"
#include "window_driver.h"

namespace tonalis::e2e {
namespace {

// Polls the condition, taking this thread's messages meanwhile: a window of
// this thread gives up the activation only when they are taken.
bool PumpUntil(const std::function<bool()>& condition) {
    for (const DWORD start = GetTickCount(); !condition();) {
        if (GetTickCount() - start > kDefaultWaitMs) {
            return false;
        }
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
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
    bool minimized = false, secondEnded = false, inFront = false;

    RunRecord run = RunDoubleClick(applet, [&] {
        HWND panel = WaitFor([] { return FindDialogWith(IDC_PANEL_WIZARD); }, "dialog 324");
        if (ramp) {
            Choose(panel, IDC_GAMMA_LIST, 0);  // gamma 1.8
            WaitUntil([&] { return Text(panel, IDC_GAMMA_EDIT) == "1.80"; }, "gamma 1.80");
        }
        preview = ScreenRamp();
        // The user went on with something else, then double-clicked the applet.
        ShowWindow(panel, SW_MINIMIZE);
        HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                     nullptr, nullptr, nullptr, nullptr);
        SetForegroundWindow(other);
        minimized = IsIconic(panel) && GetForegroundWindow() == other;
        std::string command = "control.exe \"" + AppletPath() + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION second = {};
        if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &second)) {
            secondEnded = PumpUntil([&] { return WaitForSingleObject(second.hProcess, 0) == 0; });
            TerminateProcess(second.hProcess, 1);  // when it opened a run of its own
            CloseHandle(second.hThread);
            CloseHandle(second.hProcess);
        }
        inFront = PumpUntil([&] { return !IsIconic(panel) && GetForegroundWindow() == panel; });
        afterLaunch = ScreenRamp();
        DestroyWindow(other);
        Click(panel, IDCANCEL);
    });

    EXPECT_EQ(run.failure, "");
    EXPECT_TRUE(minimized);
    EXPECT_TRUE(secondEnded) << "the second launch stayed open";
    EXPECT_TRUE(inFront) << "the open run was not restored and brought to the front";
    EXPECT_TRUE(run.messages.empty()) << run.messages.front().text;
    if (ramp) {
        EXPECT_GT(RampDistance(preview, start), 512) << "the preview";
        EXPECT_EQ(RampDistance(afterLaunch, preview), 0) << "the second launch changed the preview";
        EXPECT_LE(RampDistance(ScreenRamp(), start), 512) << "Cancel puts the start table back";
    }
    HKEY key;
    DWORD values = 0;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kUserKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    EXPECT_EQ(values, 2u) << "WizardOrPanel and GammaCrashed: no run left a start table behind";
    applet.Send(CPL_EXIT);
}

}  // namespace
}  // namespace tonalis::e2e
