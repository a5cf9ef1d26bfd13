// The keeper's real system calls.
#include "keeper/keeper_system_calls.h"

#include "session/run_claim.h"

namespace tonalis {

namespace {

double PerformanceSeconds() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER count;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The applet's run holds its claim open; its preview is no rival of ours.
bool AppletRunOpen() {
    HANDLE run = OpenFileMappingA(FILE_MAP_READ, FALSE, kRunClaimName);
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
