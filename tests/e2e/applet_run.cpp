#include "applet_run.h"

#include <cpl.h>
#include <prsht.h>

#include <set>

#include "window_driver.h"

namespace tonalis::e2e {

namespace {

constexpr char kInvokerClass[] = "TonalisE2eInvoker";
constexpr UINT kInvoke = WM_APP + 1;
constexpr DWORD kAfterScriptMs = 10000;  // for the applet to close by itself
constexpr DWORD kWatchdogMs = 30000;     // closing everything, at most

std::vector<ShownMessage> g_messages;
HWND volatile g_invoker = nullptr;

CRITICAL_SECTION* MessagesLock() {
    static CRITICAL_SECTION lock;
    static bool ready = (InitializeCriticalSection(&lock), true);
    (void)ready;
    return &lock;
}

struct Lock {
    Lock() { EnterCriticalSection(MessagesLock()); }
    ~Lock() { LeaveCriticalSection(MessagesLock()); }
};

LRESULT CALLBACK InvokerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kInvoke) {
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

struct Shared {
    HANDLE runEnded;
    const std::function<void()>* script;
    std::string failure;
    bool closedByWatchdog = false;
    volatile LONG stopWatching = 0;
};

std::string MessageText(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    return text != nullptr ? Text(text) : "";
}

// Records each message box once and presses Yes, else OK.
void AnswerMessageBoxes(std::set<HWND>* answered) {
    for (HWND window : ProcessWindows()) {
        if (!IsMessageBox(window) || answered->count(window) != 0) {
            continue;
        }
        ShownMessage shown{Text(window), MessageText(window)};
        {
            Lock lock;
            g_messages.push_back(shown);
        }
        answered->insert(window);
        int button = GetDlgItem(window, IDYES) != nullptr ? IDYES : IDOK;
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, button)));
    }
    for (auto it = answered->begin(); it != answered->end();) {
        it = IsWindow(*it) ? std::next(it) : answered->erase(it);
    }
}

DWORD WINAPI WatchMessageBoxes(LPVOID context) {
    auto* shared = static_cast<Shared*>(context);
    std::set<HWND> answered;
    while (InterlockedCompareExchange(&shared->stopWatching, 0, 0) == 0) {
        try {
            AnswerMessageBoxes(&answered);
        } catch (const DriverError&) {
            // A box that closed while being read; the next round sees the rest.
        }
        Sleep(20);
    }
    return 0;
}

// Cancel on the sheet, No or Cancel on message boxes, Cancel elsewhere.
void CloseEverything() {
    for (HWND window : ProcessWindows()) {
        if (IsPropertySheet(window)) {
            PostMessageA(window, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
            continue;
        }
        int button = IDCANCEL;
        if (IsMessageBox(window)) {
            button = GetDlgItem(window, IDNO)       ? IDNO
                     : GetDlgItem(window, IDCANCEL) ? IDCANCEL
                                                    : IDOK;
        }
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, button)));
    }
}

DWORD WINAPI Drive(LPVOID context) {
    auto* shared = static_cast<Shared*>(context);
    DWORD grace = kAfterScriptMs;
    try {
        (*shared->script)();
    } catch (const std::exception& error) {
        shared->failure = error.what();
        grace = 0;
    }
    if (WaitForSingleObject(shared->runEnded, grace) == WAIT_OBJECT_0) {
        return 0;
    }
    shared->closedByWatchdog = true;
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(shared->runEnded, 200) == WAIT_TIMEOUT &&
           GetTickCount() - start < kWatchdogMs) {
        CloseEverything();
    }
    return 0;
}

void RegisterInvoker() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = InvokerProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kInvokerClass;
        RegisterClassA(&windowClass);
        registered = true;
    }
}

}  // namespace

RunRecord RunWhileDriving(const std::function<LONG()>& run, const std::function<void()>& script) {
    RegisterInvoker();
    {
        Lock lock;
        g_messages.clear();
    }
    g_invoker = CreateWindowExA(0, kInvokerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    Shared shared;
    shared.runEnded = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    shared.script = &script;
    HANDLE watcher = CreateThread(nullptr, 0, WatchMessageBoxes, &shared, 0, nullptr);
    HANDLE driver = CreateThread(nullptr, 0, Drive, &shared, 0, nullptr);

    RunRecord record;
    record.result = run();

    SetEvent(shared.runEnded);
    // Messages still come: the script may be settling on this thread. The
    // queue is emptied before each wait, which wakes only for newer messages.
    DWORD waited = WAIT_OBJECT_0 + 1;
    while (waited == WAIT_OBJECT_0 + 1) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
        waited = MsgWaitForMultipleObjects(1, &driver, FALSE, INFINITE, QS_ALLINPUT);
    }
    WaitForSingleObject(driver, INFINITE);
    InterlockedExchange(&shared.stopWatching, 1);
    WaitForSingleObject(watcher, INFINITE);
    CloseHandle(driver);
    CloseHandle(watcher);
    CloseHandle(shared.runEnded);
    DestroyWindow(g_invoker);
    g_invoker = nullptr;

    record.messages = MessagesSoFar();
    record.failure = shared.failure;
    record.closedByWatchdog = shared.closedByWatchdog;
    return record;
}

RunRecord RunDoubleClick(const AppletLibrary& applet, const std::function<void()>& script) {
    return RunWhileDriving([&] { return applet.Send(CPL_DBLCLK); }, script);
}

void OnAppletThread(const std::function<void()>& work) {
    HWND invoker = g_invoker;
    if (invoker == nullptr || GetWindowThreadProcessId(invoker, nullptr) == GetCurrentThreadId()) {
        work();
        return;
    }
    Send(invoker, kInvoke, 0, reinterpret_cast<LPARAM>(&work));
}

std::vector<ShownMessage> MessagesSoFar() {
    Lock lock;
    return g_messages;
}

}  // namespace tonalis::e2e
