// Messages to the keeper's window, found by its class on this desktop.
#include "keeper/keeper_link.h"

namespace tonalis {

namespace {

constexpr wchar_t kStatusWindowClass[] = L"TonalisKeeperStatus";

LRESULT CALLBACK StatusWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        auto* text = reinterpret_cast<std::string*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (text != nullptr && data != nullptr && data->lpData != nullptr) {
            text->assign(static_cast<const char*>(data->lpData), data->cbData);
        }
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

HWND FindKeeperWindow(DWORD* process) {
    HWND window = FindWindowW(kKeeperWindowClass, nullptr);
    *process = 0;
    if (window != nullptr) {
        GetWindowThreadProcessId(window, process);
    }
    return window;
}

bool TellKeeperToReload(int monitor) {
    DWORD process = 0;
    HWND window = FindKeeperWindow(&process);
    return window != nullptr &&
           PostMessageW(window, kKeeperReloadMessage, static_cast<WPARAM>(monitor), 0) != FALSE;
}

void TellKeeperAppletEnded() {
    DWORD process = 0;
    HWND window = FindKeeperWindow(&process);
    DWORD_PTR result = 0;
    if (window != nullptr) {
        SendMessageTimeoutW(window, kKeeperAppletEndedMessage, 0, 0, SMTO_ABORTIFHUNG, 1000,
                            &result);
    }
}

KeeperStop StopKeeper(DWORD waitMilliseconds) {
    DWORD process = 0;
    HWND window = FindKeeperWindow(&process);
    if (window == nullptr) {
        return KeeperStop::kNoneRunning;
    }
    HANDLE running = OpenProcess(SYNCHRONIZE, FALSE, process);
    PostMessageW(window, WM_CLOSE, 0, 0);
    const bool ended =
        running != nullptr && WaitForSingleObject(running, waitMilliseconds) == WAIT_OBJECT_0;
    if (running != nullptr) {
        CloseHandle(running);
    }
    return ended ? KeeperStop::kStopped : KeeperStop::kStillRunning;
}

bool AskKeeperStatus(std::string* text) {
    DWORD process = 0;
    HWND keeper = FindKeeperWindow(&process);
    if (keeper == nullptr) {
        return false;
    }
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = StatusWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kStatusWindowClass;
    RegisterClassW(&windowClass);
    // The keeper answers while this thread waits in SendMessage, which takes
    // the messages sent to its windows.
    HWND answer = CreateWindowExW(0, kStatusWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  instance, nullptr);
    if (answer == nullptr) {
        return false;
    }
    text->clear();
    SetWindowLongPtrW(answer, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(text));
    DWORD_PTR result = 0;
    const bool answered =
        SendMessageTimeoutW(keeper, kKeeperStatusMessage, reinterpret_cast<WPARAM>(answer), 0,
                            SMTO_NORMAL, 5000, &result) != 0 &&
        !text->empty();
    DestroyWindow(answer);
    return answered;
}

KeeperMutex::KeeperMutex() {
    mutex_ = CreateMutexW(nullptr, TRUE, kKeeperMutexName);
    held_ = mutex_ != nullptr && GetLastError() != ERROR_ALREADY_EXISTS;
}

KeeperMutex::~KeeperMutex() {
    if (mutex_ != nullptr) {
        if (held_) {
            ReleaseMutex(mutex_);
        }
        CloseHandle(mutex_);
    }
}

}  // namespace tonalis
