// Timings of whole runs of TNP.cpl under Wine, printed as medians and ratios
// and never judged: how long the wizard takes to appear against a bare sheet
// of nine empty pages, and how soon a gamma slider's move reaches the X
// server's ramp. Exits 1 only when a run cannot be driven.
// Usage: applet_bench.exe [--slider]  (the slider needs Xorg's dummy driver)
#include <windows.h>
#include <commctrl.h>
#include <cpl.h>
#include <prsht.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "applet_library.h"
#include "applet_run.h"
#include "resources/resource.h"
#include "system_state.h"
#include "window_driver.h"

namespace tonalis::e2e {
namespace {

bool g_failed = false;

void Check(const RunRecord& record) {
    if (!record.failure.empty()) {
        std::printf("[ speed    ] the run could not be driven: %s\n", record.failure.c_str());
        g_failed = true;
    }
}

constexpr int kRounds = 5;

double Milliseconds(LONGLONG from, LONGLONG to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return (to - from) * 1000.0 / frequency.QuadPart;
}

LONGLONG Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The moments a property sheet frame of this thread is first created and shown.
LONGLONG g_created = 0;
LONGLONG g_shown = 0;
HHOOK g_hook = nullptr;
HHOOK g_createHook = nullptr;

// Before the frame's initialisation, which makes the first page.
LRESULT CALLBACK WatchCreate(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_INITDIALOG && g_created == 0 &&
        IsPropertySheet(call->hwnd)) {
        g_created = Now();
    }
    return CallNextHookEx(g_createHook, code, wParam, lParam);
}

LRESULT CALLBACK WatchShow(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && g_shown == 0 && call->message == WM_SHOWWINDOW && call->wParam &&
        IsPropertySheet(call->hwnd)) {
        g_shown = Now();
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

struct SheetTimes {
    double created;  // until the frame is made, before its pages: the run's own set-up
    double shown;
};

// Times from the start of run to the sheet; the script closes it.
SheetTimes TimeToSheet(const std::function<LONG()>& run) {
    g_created = 0;
    g_shown = 0;
    g_hook = SetWindowsHookExA(WH_CALLWNDPROCRET, WatchShow, nullptr, GetCurrentThreadId());
    g_createHook = SetWindowsHookExA(WH_CALLWNDPROC, WatchCreate, nullptr, GetCurrentThreadId());
    LONGLONG start = Now();
    RunRecord record = RunWhileDriving(run, [] {
        Wizard wizard = Wizard::WaitForIt();
        WaitUntil([&] { return wizard.Page() != nullptr; }, "the first page");
        wizard.Cancel();
    });
    UnhookWindowsHookEx(g_hook);
    UnhookWindowsHookEx(g_createHook);
    Check(record);
    if (g_created == 0 || g_shown == 0) {
        std::printf("[ speed    ] no property sheet was shown\n");
        g_failed = true;
        return {-1, -1};
    }
    return {Milliseconds(start, g_created), Milliseconds(start, g_shown)};
}

INT_PTR CALLBACK EmptyPage(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// Nine empty wizard pages from one in-memory template.
LONG ShowBareSheet() {
    struct {
        DLGTEMPLATE header;
        WORD menu, windowClass, title;
    } page = {{WS_CHILD | DS_CONTROL, 0, 0, 0, 0, 317, 193}, 0, 0, 0};
    PROPSHEETPAGEA pages[9] = {};
    for (PROPSHEETPAGEA& p : pages) {
        p.dwSize = sizeof p;
        p.dwFlags = PSP_DLGINDIRECT;
        p.pResource = &page.header;
        p.pfnDlgProc = EmptyPage;
    }
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD | PSH_NOAPPLYNOW;
    header.hwndParent = GetDesktopWindow();
    header.pszCaption = "bare";
    header.nPages = 9;
    header.ppsp = pages;
    return static_cast<LONG>(PropertySheetA(&header));
}

void WelcomePageAgainstABareSheet(const AppletLibrary& library) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    TimeToSheet(ShowBareSheet);  // the first sheet of the process loads the common controls
    std::vector<double> applet, bare, appletSetUp;
    for (int i = 0; i < kRounds; ++i) {
        bare.push_back(TimeToSheet(ShowBareSheet).shown);
        SheetTimes times = TimeToSheet([&] { return library.Send(CPL_DBLCLK); });
        applet.push_back(times.shown);
        appletSetUp.push_back(times.created);
    }
    std::printf(
        "[ speed    ] double-click to welcome page: %.1f ms median (%.1f ms before the sheet "
        "is made), bare nine-page sheet %.1f ms, ratio %.2f (goal <= 1.5)\n",
        Median(applet), Median(appletSetUp), Median(bare), Median(applet) / Median(bare));
}

void GammaSliderToTheServerRamp(const AppletLibrary& library) {
    std::vector<double> times;
    RunRecord record = RunDoubleClick(library, [&] {
        Wizard wizard = Wizard::WaitForIt();
        Click(wizard.WaitForPage(IDD_WELCOME), IDC_CHOOSE_WIZARD);
        wizard.NextThrough({IDD_WELCOME, IDD_DESCRIPTION, IDD_BRIGHTNESS, IDD_PHOSPHORS});
        HWND page = wizard.WaitForPage(IDD_GAMMA);
        HWND slider = Control(page, IDC_GAMMA_SLIDER_CENTRE);
        for (int i = 0; i < 40; ++i) {
            const int position = 60 + (i % 2) * 80 + i;
            OnAppletThread([&] {
                const Ramp before = ScreenRamp();
                SendMessageA(slider, TBM_SETPOS, TRUE, position);
                const LONGLONG start = Now();
                SendMessageA(page, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
                             reinterpret_cast<LPARAM>(slider));
                while (RampDistance(ScreenRamp(), before) == 0 &&
                       Milliseconds(start, Now()) < 1000) {
                }
                times.push_back(Milliseconds(start, Now()));
            });
        }
        wizard.Cancel();
    });
    Check(record);
    if (times.empty()) {
        return;
    }
    std::printf(
        "[ speed    ] gamma slider to the X server's ramp: %.2f ms median, %.2f ms worst of "
        "%zu (goal <= 2 ms median)\n",
        Median(times), *std::max_element(times.begin(), times.end()), times.size());
}

}  // namespace
}  // namespace tonalis::e2e

int main(int argc, char** argv) {
    using namespace tonalis::e2e;
    CleanSystem clean;
    AppletLibrary applet;
    if (applet.module() == nullptr || applet.Send(CPL_INIT) != 1) {
        std::printf("[ speed    ] %s does not load\n", AppletPath().c_str());
        return 1;
    }
    WelcomePageAgainstABareSheet(applet);
    if (argc > 1 && std::strcmp(argv[1], "--slider") == 0) {
        GammaSliderToTheServerRamp(applet);
    }
    applet.Send(CPL_EXIT);
    return g_failed ? 1 : 0;
}
