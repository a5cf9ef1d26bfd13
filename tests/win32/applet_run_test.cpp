// A run's ownership of its session, the message boxes and the wizard page records.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "session/messages.h"
#include "applet/dpi_awareness.h"
#include "applet/run_applet.h"
#include "applet_seams.h"
#include "keeper/keeper_link.h"
#include "keeper/keeper_system_calls.h"
#include "resources/string_ids.h"

namespace tonalis {
namespace {

using testing::LoadTestString;
using testing::ScopedFakeSystem;

TEST(RunApplet, NoMemoryForTheSessionEndsSilently) {
    ScopedFakeSystem fake;
    fake.state().allocationsToFail = 1;

    EXPECT_EQ(RunApplet(GetDesktopWindow(), GetModuleHandleA(nullptr)), -1);
    EXPECT_TRUE(fake.state().messages.empty());
    EXPECT_EQ(fake.state().releases, 0);
}

TEST(RunApplet, FailedStartShowsOneMessageAndReleasesTheSession) {
    ScopedFakeSystem fake;
    fake.state().bitsPerPixel = 4;

    EXPECT_EQ(RunApplet(GetDesktopWindow(), GetModuleHandleA(nullptr)), -1);
    EXPECT_EQ(fake.state().messages.size(), 1u);
    EXPECT_EQ(fake.state().releases, 1);
    EXPECT_EQ(fake.state().liveAllocations, 0);
}

// Any end of a run tells the keeper, once the run's claim is let go: from then
// on the keeper keeps what the run left in the display.
bool g_keeperTold = false;
LRESULT CALLBACK FakeKeeper(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kKeeperAppletEndedMessage) {
        g_keeperTold = !g_keeperSystemCalls.appletOpen();
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(RunApplet, TellsTheKeeperWhenItEnds) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    UnregisterClassW(kKeeperWindowClass, instance);
    WNDCLASSW keeperClass = {};
    keeperClass.lpfnWndProc = FakeKeeper;
    keeperClass.hInstance = instance;
    keeperClass.lpszClassName = kKeeperWindowClass;
    RegisterClassW(&keeperClass);
    HWND keeper = CreateWindowExW(0, kKeeperWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                  nullptr, instance, nullptr);
    ScopedFakeSystem fake;
    fake.state().bitsPerPixel = 4;
    RunApplet(GetDesktopWindow(), instance);
    DestroyWindow(keeper);
    UnregisterClassW(kKeeperWindowClass, instance);
    EXPECT_TRUE(g_keeperTold);
}

// The thread's awareness as a system keeps it; version 2 is known when asked.
DpiAwarenessContext g_awareness, g_atMessage;
bool g_knowsV2;

DpiAwarenessContext WINAPI FakeSetAwareness(DpiAwarenessContext wanted) {
    DpiAwarenessContext previous = g_awareness;
    g_awareness = wanted == kPerMonitorAwareV2 && !g_knowsV2 ? previous : wanted;
    return g_awareness == wanted ? previous : nullptr;
}

int WINAPI NoteAwareness(HWND, LPCSTR, LPCSTR, UINT) {
    g_atMessage = g_awareness;
    return IDOK;
}

// Per-monitor aware while a window of the run is shown (here the one message
// of a failed start), the previous awareness back afterwards; a system
// without the function is left alone.
TEST(RunApplet, ThreadIsPerMonitorAwareWhileItsWindowsLive) {
    const DpiSystemCalls saved = g_dpiSystemCalls;
    const auto unaware = reinterpret_cast<DpiAwarenessContext>(-1);
    const DpiAwarenessContext during[] = {unaware, kPerMonitorAware, kPerMonitorAwareV2};
    for (int system : {0, 1, 2}) {
        ScopedFakeSystem fake;
        fake.state().bitsPerPixel = 4;
        g_appletSystemCalls.messageBox = NoteAwareness;
        g_awareness = unaware;
        g_knowsV2 = system == 2;
        g_dpiSystemCalls.findSetThreadDpiAwarenessContext =
            system == 0 ? []() -> SetThreadDpiAwarenessContextProc { return nullptr; }
                        : []() -> SetThreadDpiAwarenessContextProc { return FakeSetAwareness; };
        RunApplet(GetDesktopWindow(), GetModuleHandleA(nullptr));
        EXPECT_EQ(g_atMessage, during[system]) << "system " << system;
        EXPECT_EQ(g_awareness, unaware) << "system " << system;
    }
    g_dpiSystemCalls = saved;
}

TEST(Messages, ErrorMessageHasNoOwnerAndTheProductTitle) {
    ScopedFakeSystem fake;

    ShowErrorMessage(GetModuleHandleA(nullptr), strings::kInternalError, strings::kProductName);

    ASSERT_EQ(fake.state().messages.size(), 1u);
    const auto& shown = fake.state().messages[0];
    EXPECT_EQ(shown.owner, nullptr);
    EXPECT_EQ(shown.caption, "Tonalis");
    EXPECT_EQ(shown.text, LoadTestString(strings::kInternalError));
    EXPECT_FALSE(shown.text.empty());
    EXPECT_EQ(shown.style, UINT(MB_OK | MB_ICONHAND));
}

TEST(Messages, LongTextsAreCutToTheirBuffers) {
    ScopedFakeSystem fake;

    // A title slot given a long message shows at most 31 bytes of it.
    ShowErrorMessage(GetModuleHandleA(nullptr), strings::kLoadLosesChanges,
                     strings::kLoadLosesChanges);

    ASSERT_EQ(fake.state().messages.size(), 1u);
    std::string full = LoadTestString(strings::kLoadLosesChanges);
    ASSERT_GT(full.size(), 31u);
    EXPECT_LE(fake.state().messages[0].caption.size(), 31u);
    EXPECT_EQ(
        full.compare(0, fake.state().messages[0].caption.size(), fake.state().messages[0].caption),
        0);
    EXPECT_LE(fake.state().messages[0].text.size(), 159u);
}

TEST(Messages, AskUserReturnsTheAnswerAndKeepsOwnerAndStyle) {
    ScopedFakeSystem fake;
    fake.state().messageBoxAnswer = IDYES;
    HWND owner = GetDesktopWindow();

    int answer = AskUser(owner, GetModuleHandleA(nullptr), strings::kLoadLosesChanges,
                         strings::kProductName, MB_YESNO | MB_DEFBUTTON2);

    EXPECT_EQ(answer, IDYES);
    ASSERT_EQ(fake.state().messages.size(), 1u);
    EXPECT_EQ(fake.state().messages[0].owner, owner);
    EXPECT_EQ(fake.state().messages[0].style, 0x104u);
    EXPECT_EQ(fake.state().messages[0].text, LoadTestString(strings::kLoadLosesChanges));
}

INT_PTR CALLBACK SomePage(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

TEST(WizardPage, RecordCarriesTemplateProcedureAndSession) {
    SessionContext session = {};
    session.instance = reinterpret_cast<HINSTANCE>(0x400000);
    PROPSHEETPAGEA page;
    std::memset(&page, 0xCD, sizeof page);

    FillWizardPage(&page, 309, SomePage, &session);

    EXPECT_EQ(page.dwSize, 48u);
    EXPECT_EQ(page.dwFlags, 0u);
    EXPECT_EQ(page.hInstance, session.instance);
    EXPECT_EQ(page.pszTemplate, MAKEINTRESOURCEA(309));
    EXPECT_EQ(page.pfnDlgProc, SomePage);
    EXPECT_EQ(page.lParam, reinterpret_cast<LPARAM>(&session));
    EXPECT_EQ(page.pfnCallback, nullptr);
    EXPECT_EQ(page.pcRefParent, nullptr);
}

}  // namespace
}  // namespace tonalis
