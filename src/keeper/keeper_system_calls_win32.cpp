// The keeper's real system calls.
#include "keeper/keeper_system_calls.h"

namespace tonalis {

namespace {

double PerformanceSeconds() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER count;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The applet's run holds this mutex; its preview is no rival of ours.
bool AppletRunOpen() {
    HANDLE run = OpenMutexW(SYNCHRONIZE, FALSE, L"Local\\Tonalis.Run");
    if (run == nullptr) {
        return false;
    }
    CloseHandle(run);
    return true;
}

}  // namespace

KeeperSystemCalls g_keeperSystemCalls = {PerformanceSeconds, Shell_NotifyIconW, ShellExecuteW,
                                         AppletRunOpen};

}  // namespace tonalis
