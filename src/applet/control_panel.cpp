// The Control Panel's entry point.
#include <windows.h>
#include <cpl.h>

#include "session/messages.h"
#include "applet/run_applet.h"
#include "resources/string_ids.h"
#include "ui/procedures.h"

namespace tonalis {

namespace {

constexpr char kWhitePointClass[] = "WhPtExp";
constexpr int kAppletIcon = 137;

// The Control Panel loads the library once for each place that names it (the
// system folder and its Cpls value) and initialises it each time.
int g_initCount;

LONG RegisterWhitePointClass() {
    WNDCLASSA existing;
    if (g_initCount > 0 && GetClassInfoA(ModuleInstance(), kWhitePointClass, &existing)) {
        ++g_initCount;
        return 1;
    }
    WNDCLASSA windowClass = {};
    windowClass.style = CS_VREDRAW | CS_HREDRAW;
    windowClass.lpfnWndProc = TNLWhitePtWndProc;
    windowClass.hInstance = ModuleInstance();
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    windowClass.hbrBackground = CreateSolidBrush(RGB(0, 0, 0));
    windowClass.lpszClassName = kWhitePointClass;
    if (RegisterClassA(&windowClass) == 0) {
        DeleteObject(windowClass.hbrBackground);
        ShowErrorMessage(ModuleInstance(), strings::kInternalError, strings::kProductName);
        return 0;
    }
    g_initCount = 1;
    return 1;
}

void DescribeApplet(CPLINFO* info) {
    info->idIcon = kAppletIcon;
    info->idName = strings::kProductName;
    info->idInfo = strings::kAppletInformation;
    info->lData = 0;
}

}  // namespace

}  // namespace tonalis

extern "C" LONG CALLBACK CPlApplet(HWND controlPanel, UINT message, LPARAM lParam1,
                                   LPARAM lParam2) {
    using namespace tonalis;
    (void)lParam1;
    switch (message) {
        case CPL_INIT:
            return RegisterWhitePointClass();
        case CPL_GETCOUNT:
            return 1;
        case CPL_INQUIRE:
            DescribeApplet(reinterpret_cast<CPLINFO*>(lParam2));
            return 0;
        case CPL_DBLCLK:
            RunApplet(controlPanel, ModuleInstance());
            return 0;
        case CPL_EXIT:
            if (g_initCount > 0 && --g_initCount == 0) {
                UnregisterClassA(kWhitePointClass, ModuleInstance());
            }
            return 0;
        default:
            return 0;
    }
}
