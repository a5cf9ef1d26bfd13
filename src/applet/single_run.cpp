// The claim is a named shared block in the logon session's own namespace: it
// exists exactly while a run's process holds it open, and it holds the thread
// that shows that run's windows.
#include "applet/single_run.h"

#include "session/run_claim.h"

namespace tonalis {

namespace {

struct Claim {
    DWORD windowThread;
};

// The window that the run shows on top: the sheet or the panel, or a message
// box or file dialog above them (their owner is disabled meanwhile).
BOOL CALLBACK TakeFirstActiveWindow(HWND window, LPARAM found) {
    bool tool = (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
    if (!IsWindowVisible(window) || !IsWindowEnabled(window) || tool) {
        return TRUE;
    }
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

void BringToFront(DWORD windowThread) {
    HWND window = nullptr;
    if (windowThread != 0) {
        EnumThreadWindows(windowThread, TakeFirstActiveWindow, reinterpret_cast<LPARAM>(&window));
    }
    if (window == nullptr) {
        return;  // between two windows of that run, or just starting
    }
    if (IsIconic(window)) {
        ShowWindow(window, SW_RESTORE);
    }
    SetForegroundWindow(window);
}

}  // namespace

SingleRun::SingleRun()
    : claim_(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Claim),
                                kRunClaimName)),
      first_(true) {
    if (claim_ == nullptr) {
        return;  // a system without named objects: runs are not counted
    }
    bool held = GetLastError() == ERROR_ALREADY_EXISTS;
    auto* claim = static_cast<Claim*>(MapViewOfFile(claim_, FILE_MAP_WRITE, 0, 0, sizeof(Claim)));
    if (held) {
        first_ = false;
        BringToFront(claim != nullptr ? claim->windowThread : 0);
        CloseHandle(claim_);
        claim_ = nullptr;
    } else if (claim != nullptr) {
        claim->windowThread = GetCurrentThreadId();
    }
    if (claim != nullptr) {
        UnmapViewOfFile(claim);
    }
}

SingleRun::~SingleRun() {
    if (claim_ != nullptr) {
        CloseHandle(claim_);
    }
}

}  // namespace tonalis
