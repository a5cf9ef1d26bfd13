// The claim is a named shared block in the logon session's own namespace; a
// run takes it by writing its process into it, in one step, and gives it back
// at its end, so that whoever else holds the block open decides nothing.
#include "applet/single_run.h"

#include "session/run_claim.h"

namespace tonalis {

namespace {

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
    : claim_(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(RunClaim),
                                kRunClaimName)),
      view_(nullptr),
      first_(true) {
    if (claim_ == nullptr) {
        // Another user's or an elevated run made it; else a system without
        // named objects, where runs are not counted.
        first_ = GetLastError() != ERROR_ACCESS_DENIED;
        return;
    }
    auto* claim = static_cast<RunClaim*>(MapViewOfFile(claim_, FILE_MAP_WRITE, 0, 0, 0));
    if (claim == nullptr) {
        CloseHandle(claim_);
        claim_ = nullptr;
        return;
    }
    if (InterlockedCompareExchange(&claim->holder, static_cast<LONG>(GetCurrentProcessId()), 0) ==
        0) {
        claim->windowThread = GetCurrentThreadId();
        view_ = claim;
        return;
    }
    first_ = false;
    BringToFront(claim->windowThread);
    UnmapViewOfFile(claim);
    CloseHandle(claim_);
    claim_ = nullptr;
}

SingleRun::~SingleRun() {
    if (view_ != nullptr) {
        InterlockedExchange(&view_->holder, 0);
        UnmapViewOfFile(view_);
    }
    if (claim_ != nullptr) {
        CloseHandle(claim_);
    }
}

}  // namespace tonalis
