// A timer on the test thread that plays the user of a modal dialog.
#include "dialog_driver.h"

#include <cstring>

namespace tonalis::testing {

namespace {

constexpr UINT kTickMilliseconds = 20;
constexpr int kTicksAtMost = 500;

struct Driver {
    const DialogStep* step;
    bool done;
    int ticks;
};

Driver* g_driver = nullptr;

BOOL CALLBACK FindInputDialog(HWND window, LPARAM found) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, "#32770") != 0 || !IsWindowVisible(window) || !IsWindowEnabled(window)) {
        return TRUE;
    }
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindInputDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!g_driver->done) {
        g_driver->done = (*g_driver->step)(dialog);
    }
    if (++g_driver->ticks > kTicksAtMost && dialog != nullptr) {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
}

struct Search {
    int id;
    HWND found;
};

BOOL CALLBACK MatchId(HWND window, LPARAM search) {
    Search* s = reinterpret_cast<Search*>(search);
    if (GetDlgCtrlID(window) != s->id) {
        return TRUE;
    }
    s->found = window;
    return FALSE;
}

}  // namespace

void DriveDialogs(const std::function<void()>& show, const DialogStep& step) {
    Driver driver = {&step, false, 0};
    g_driver = &driver;
    UINT_PTR timer = SetTimer(nullptr, 0, kTickMilliseconds, OnTick);
    show();
    KillTimer(nullptr, timer);
    g_driver = nullptr;
}

INT_PTR RunDialog(int templateId, DLGPROC procedure, LPARAM parameter, const DialogStep& step) {
    INT_PTR result = -2;
    DriveDialogs(
        [&] {
            result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId),
                                     nullptr, procedure, parameter);
        },
        step);
    return result;
}

void PressButton(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::string ControlText(HWND window, int id) {
    Search search = {id, nullptr};
    EnumChildWindows(window, MatchId, reinterpret_cast<LPARAM>(&search));
    char text[512] = {};
    if (search.found != nullptr) {
        GetWindowTextA(search.found, text, sizeof text);
    }
    return text;
}

std::unique_ptr<SessionContext> NewTestSession() {
    auto session = std::make_unique<SessionContext>();
    session->instance = GetModuleHandleA(nullptr);
    session->isNt5OrLater = TRUE;
    return session;
}

}  // namespace tonalis::testing
