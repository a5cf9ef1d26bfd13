// A timer on the test thread that plays the user of a modal dialog.
#include "dialog_driver.h"

#include <cstdlib>
#include <cstring>

namespace tonalis::testing {

namespace {

constexpr UINT kTickMilliseconds = 20;
constexpr int kTicksAfterDone = 100;
constexpr int kTicksAtMost = 500;

struct Driver {
    const DialogStep* step;
    bool done;
    int ticks;
    int ticksSinceDone;
};

Driver* g_driver = nullptr;

BOOL CALLBACK FindInputDialog(HWND window, LPARAM found) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, "#32770") == 0 && IsWindowVisible(window) && IsWindowEnabled(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

HWND InputDialog() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindInputDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
    Driver& driver = *g_driver;
    ++driver.ticks;
    HWND dialog = InputDialog();
    if (!driver.done) {
        driver.done = (*driver.step)(dialog);
        if (!driver.done && driver.ticks < kTicksAtMost) {
            return;
        }
        driver.done = true;
    }
    if (dialog != nullptr && ++driver.ticksSinceDone > kTicksAfterDone) {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        driver.ticksSinceDone = 0;
    }
}

struct FindControl {
    int id;
    HWND found;
};

BOOL CALLBACK MatchControl(HWND window, LPARAM search) {
    FindControl* find = reinterpret_cast<FindControl*>(search);
    if (GetDlgCtrlID(window) == find->id) {
        find->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

void DriveDialogs(const std::function<void()>& show, const DialogStep& step) {
    Driver driver = {&step, false, 0, 0};
    Driver* outer = g_driver;
    g_driver = &driver;
    UINT_PTR timer = SetTimer(nullptr, 0, kTickMilliseconds, OnTick);
    show();
    KillTimer(nullptr, timer);
    g_driver = outer;
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

std::string ControlText(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    char text[512] = {};
    if (control != nullptr) {
        GetWindowTextA(control, text, sizeof text);
    }
    return text;
}

int FocusedControl() {
    HWND focus = GetFocus();
    return focus != nullptr ? GetDlgCtrlID(focus) : 0;
}

HWND FindDescendant(HWND window, int id) {
    FindControl find = {id, nullptr};
    EnumChildWindows(window, MatchControl, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

void SessionDeleter::operator()(SessionContext* session) const {
    std::free(session);
}

SessionHolder NewTestSession() {
    SessionHolder session(static_cast<SessionContext*>(std::calloc(1, sizeof(SessionContext))));
    session->instance = GetModuleHandleA(nullptr);
    session->isNt5OrLater = TRUE;
    return session;
}

}  // namespace tonalis::testing
