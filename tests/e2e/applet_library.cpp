#include "applet_library.h"

#include <gtest/gtest.h>

namespace tonalis::e2e {

std::string AppletPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.erase(folder.find_last_of("\\/") + 1);
    return folder + "TNP.cpl";
}

AppletLibrary::AppletLibrary()
    : module_(LoadLibraryA(AppletPath().c_str())),
      entry_(reinterpret_cast<ControlPanelEntry>(
          reinterpret_cast<void*>(module_ ? GetProcAddress(module_, "CPlApplet") : nullptr))) {}

AppletLibrary::~AppletLibrary() {
    if (module_ != nullptr) {
        FreeLibrary(module_);
    }
}

LONG AppletLibrary::Send(UINT message, LPARAM lParam1, LPARAM lParam2) const {
    return entry_(GetDesktopWindow(), message, lParam1, lParam2);
}

namespace {

struct WindowSearch {
    DWORD process;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->process && IsWindowVisible(window)) {
        search->found.push_back(window);
    }
    return TRUE;
}

}  // namespace

WindowWatcher::WindowWatcher() : thread_(nullptr), stop_(0) {
    InitializeCriticalSection(&lock_);
    thread_ = CreateThread(nullptr, 0, Watch, this, 0, nullptr);
}

WindowWatcher::~WindowWatcher() {
    Stop();
    DeleteCriticalSection(&lock_);
}

std::vector<std::string> WindowWatcher::Stop() {
    if (thread_ != nullptr) {
        InterlockedExchange(&stop_, 1);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    EnterCriticalSection(&lock_);
    std::vector<std::string> seen = seen_;
    LeaveCriticalSection(&lock_);
    return seen;
}

DWORD WINAPI WindowWatcher::Watch(LPVOID self) {
    auto* watcher = static_cast<WindowWatcher*>(self);
    while (InterlockedCompareExchange(&watcher->stop_, 0, 0) == 0) {
        WindowSearch search{GetCurrentProcessId(), {}};
        EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&search));
        for (HWND window : search.found) {
            char title[256] = {};
            GetWindowTextA(window, title, sizeof title);
            EnterCriticalSection(&watcher->lock_);
            watcher->seen_.push_back(title);
            LeaveCriticalSection(&watcher->lock_);
            PostMessageA(window, WM_CLOSE, 0, 0);
            PostMessageA(window, WM_COMMAND, IDOK, 0);
        }
        Sleep(50);
    }
    return 0;
}

}  // namespace tonalis::e2e
