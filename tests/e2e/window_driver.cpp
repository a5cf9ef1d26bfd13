#include "window_driver.h"

#include <commctrl.h>

#include <map>
#include <vector>

namespace tonalis::e2e {

namespace {

#ifndef PSM_HWNDTOINDEX
#define PSM_HWNDTOINDEX (WM_USER + 129)
#endif
#ifndef PSM_INDEXTOID
#define PSM_INDEXTOID (WM_USER + 133)
#endif

constexpr DWORD kAnswerMs = 5000;
constexpr int kFileNameCombo = 0x47C;  // cmb13
constexpr int kFileNameEdit = 0x480;   // edt1
// The message box template's icon (stc1) and text.
constexpr int kMessageBoxIcon = 0x440;
constexpr int kMessageBoxText = 0xFFFF;

// A control that only one page template has, for when the sheet cannot name
// the page's template itself.
const std::map<int, int> kPageMarkers = {{1183, 301}, {1212, 303}, {1409, 304},
                                         {1702, 311}, {1606, 309}, {1203, 305},
                                         {1202, 321}, {1181, 312}, {1800, 313}};

BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM context) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window)) {
        reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
    }
    return TRUE;
}

bool IsDialogClass(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return lstrcmpA(name, "#32770") == 0;
}

HINSTANCE InstanceOf(HWND window) {
    return reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
}

// The open windows, for the message of a wait that ran out.
std::string DescribeWindows() {
    std::string text;
    for (HWND window : ProcessWindows()) {
        char name[64] = {}, title[128] = {};
        GetClassNameA(window, name, sizeof name);
        GetWindowTextA(window, title, sizeof title);
        text += std::string("[") + name + " \"" + title + "\"" +
                (IsMessageBox(window) ? " message box" : "") +
                (IsFileDialog(window) ? " file dialog" : "") + "] ";
    }
    return text;
}

// A settle's marker: a thread message that a message hook on the window's
// thread sees when that thread takes it, after everything posted before it.
UINT MarkerMessage() {
    static const UINT marker = RegisterWindowMessageA("TonalisDriverSettleMarker");
    return marker;
}

// One settle at a time; the hook runs on the other thread.
struct SettleState {
    SettleState() { InitializeCriticalSection(&lock); }
    CRITICAL_SECTION lock;
    HANDLE taken = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    volatile LONG awaited = 0;
};

SettleState& Settling() {
    static SettleState state;
    return state;
}

LRESULT CALLBACK WatchForMarker(int code, WPARAM removal, LPARAM lParam) {
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    SettleState& state = Settling();
    if (code == HC_ACTION && removal == PM_REMOVE && message->hwnd == nullptr &&
        message->message == MarkerMessage() &&
        static_cast<LONG>(message->wParam) == InterlockedCompareExchange(&state.awaited, 0, 0)) {
        SetEvent(state.taken);
    }
    return CallNextHookEx(nullptr, code, removal, lParam);
}

DWORD ThreadOf(HWND window) {
    return GetWindowThreadProcessId(window, nullptr);
}

void SettleThread(DWORD threadId, const std::string& after) {
    if (threadId == 0 || threadId == GetCurrentThreadId()) {
        return;
    }
    SettleState& state = Settling();
    EnterCriticalSection(&state.lock);
    const LONG marker = InterlockedIncrement(&state.awaited);
    ResetEvent(state.taken);
    HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, threadId);
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, WatchForMarker, nullptr, threadId);
    const bool posted = hook != nullptr && thread != nullptr &&
                        PostThreadMessageA(threadId, MarkerMessage(), marker, 0);
    // A thread that has ended has nothing left to do either.
    HANDLE ends[] = {state.taken, thread};
    const DWORD waited =
        posted ? WaitForMultipleObjects(2, ends, FALSE, kDefaultWaitMs) : WAIT_FAILED;
    if (hook != nullptr) {
        UnhookWindowsHookEx(hook);
    }
    if (thread != nullptr) {
        CloseHandle(thread);
    }
    LeaveCriticalSection(&state.lock);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_OBJECT_0 + 1) {
        throw DriverError("the window's thread did not take its messages after " + after +
                          (posted ? "" : " (no marker posted)"));
    }
}

}  // namespace

void Settle(HWND window) {
    SettleThread(ThreadOf(window), "a settle");
}

HWND WaitFor(const std::function<HWND()>& find, const std::string& what, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (HWND found = find()) {
            return found;
        }
        if (GetTickCount() - start > ms) {
            throw DriverError("timed out waiting for " + what + "; open: " + DescribeWindows());
        }
        Sleep(10);
    }
}

void WaitUntil(const std::function<bool()>& condition, const std::string& what, DWORD ms) {
    WaitFor([&] { return condition() ? GetDesktopWindow() : nullptr; }, what, ms);
}

std::vector<HWND> ProcessWindows() {
    std::vector<HWND> found;
    EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

bool IsPropertySheet(HWND window) {
    return IsDialogClass(window) &&
           FindWindowExA(window, nullptr, "SysTabControl32", nullptr) != nullptr;
}

bool IsMessageBox(HWND window) {
    return IsDialogClass(window) && !IsPropertySheet(window) && !IsFileDialog(window) &&
           GetDlgItem(window, kMessageBoxIcon) != nullptr &&
           GetDlgItem(window, kMessageBoxText) != nullptr;
}

bool IsFileDialog(HWND window) {
    HMODULE dialogs = GetModuleHandleA("comdlg32.dll");
    return dialogs != nullptr && IsDialogClass(window) && InstanceOf(window) == dialogs;
}

HWND FindDialogWith(int controlId) {
    for (HWND window : ProcessWindows()) {
        if (IsDialogClass(window) && !IsPropertySheet(window) && !IsMessageBox(window) &&
            !IsFileDialog(window) && GetDlgItem(window, controlId) != nullptr) {
            return window;
        }
    }
    return nullptr;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kAnswerMs, &result)) {
        throw DriverError("window did not answer message " + std::to_string(message));
    }
    return static_cast<LRESULT>(result);
}

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!PostMessageA(window, message, wParam, lParam)) {
        throw DriverError("cannot post message " + std::to_string(message));
    }
}

HWND Control(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    if (control == nullptr) {
        throw DriverError("no control " + std::to_string(id));
    }
    return control;
}

void Click(HWND dialog, int id) {
    const DWORD thread = ThreadOf(dialog);
    Post(Control(dialog, id), BM_CLICK);
    SettleThread(thread, "a click on " + std::to_string(id));
}

void Choose(HWND dialog, int comboId, int index) {
    HWND combo = Control(dialog, comboId);
    const DWORD thread = ThreadOf(dialog);
    Send(combo, CB_SETCURSEL, index);
    Post(dialog, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    SettleThread(thread, "a choice in " + std::to_string(comboId));
}

void Slide(HWND dialog, int sliderId, int position) {
    HWND slider = Control(dialog, sliderId);
    Send(slider, TBM_SETPOS, TRUE, position);
    Send(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
         reinterpret_cast<LPARAM>(slider));
}

void Type(HWND dialog, int editId, const std::string& text) {
    // As a paste over the whole text: a multi-line edit does not notify its
    // parent of WM_SETTEXT, but does of a replaced selection.
    HWND edit = Control(dialog, editId);
    Send(edit, EM_SETSEL, 0, -1);
    Send(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

void TypeCharacters(HWND dialog, int editId, const std::wstring& text) {
    HWND edit = Control(dialog, editId);
    Send(edit, EM_SETSEL, 0, -1);
    for (wchar_t unit : text) {
        if (!PostMessageW(edit, WM_CHAR, unit, 1)) {
            throw DriverError("cannot post a character");
        }
    }
    SettleThread(ThreadOf(edit), "typing");
}

void PressKey(HWND window, UINT key) {
    const DWORD thread = ThreadOf(window);
    Post(window, WM_KEYDOWN, key, 1);
    // The key-down may already have closed the window (Esc, Enter): then the
    // key-up has nowhere to go, and that is no failure.
    if (!PostMessageA(window, WM_KEYUP, key, 0xC0000001) && IsWindow(window)) {
        throw DriverError("cannot post message " + std::to_string(WM_KEYUP));
    }
    SettleThread(thread, "key " + std::to_string(key));
}

std::string Text(HWND window) {
    char text[512] = {};
    Send(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string Text(HWND dialog, int id) {
    return Text(Control(dialog, id));
}

std::string SelectedText(HWND dialog, int comboId) {
    HWND combo = Control(dialog, comboId);
    LRESULT index = Send(combo, CB_GETCURSEL);
    if (index == CB_ERR) {
        return "";
    }
    char text[256] = {};
    Send(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

bool IsShown(HWND dialog, int id) {
    return (GetWindowLongA(Control(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

bool IsChecked(HWND dialog, int id) {
    return Send(Control(dialog, id), BM_GETCHECK) == BST_CHECKED;
}

Wizard Wizard::WaitForIt(DWORD ms) {
    return Wizard(WaitFor(
        [] {
            for (HWND window : ProcessWindows()) {
                if (IsPropertySheet(window)) {
                    return window;
                }
            }
            return HWND(nullptr);
        },
        "the wizard", ms));
}

HWND Wizard::Page() const {
    return reinterpret_cast<HWND>(Send(frame_, PSM_GETCURRENTPAGEHWND));
}

int Wizard::PageId() const {
    HWND page = Page();
    if (page == nullptr) {
        return 0;
    }
    LRESULT index = Send(frame_, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page));
    LRESULT id = index >= 0 ? Send(frame_, PSM_INDEXTOID, index) : 0;
    if (id > 0 && id < 0x10000) {
        return static_cast<int>(id);
    }
    for (const auto& [control, templateId] : kPageMarkers) {
        if (GetDlgItem(page, control) != nullptr) {
            return templateId;
        }
    }
    return 0;
}

HWND Wizard::WaitForPage(int templateId, DWORD ms) const {
    WaitUntil([&] { return PageId() == templateId; }, "page " + std::to_string(templateId), ms);
    return Page();
}

void Wizard::NextThrough(std::initializer_list<int> templateIds) const {
    for (int id : templateIds) {
        WaitForPage(id);
        Next();
    }
}

void Wizard::Press(int button) const {
    const DWORD thread = ThreadOf(frame_);
    Post(frame_, PSM_PRESSBUTTON, button);
    // The sheet's loop sees that it has ended only at the next message.
    Post(frame_, WM_NULL);
    SettleThread(thread, "sheet button " + std::to_string(button));
}

HWND WaitForFileDialog() {
    return WaitFor(
        [] {
            for (HWND window : ProcessWindows()) {
                if (IsFileDialog(window)) {
                    return window;
                }
            }
            return HWND(nullptr);
        },
        "the file dialog");
}

void SaveAs(const std::string& windowsPath) {
    HWND dialog = WaitForFileDialog();
    HWND name = GetDlgItem(dialog, kFileNameCombo);
    if (name == nullptr) {
        name = Control(dialog, kFileNameEdit);
    }
    Send(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(windowsPath.c_str()));
    Post(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    WaitUntil([&] { return !IsWindow(dialog); }, "the file dialog to close");
}

void CancelFileDialog() {
    HWND dialog = WaitForFileDialog();
    Post(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
    WaitUntil([&] { return !IsWindow(dialog); }, "the file dialog to close");
}

}  // namespace tonalis::e2e
