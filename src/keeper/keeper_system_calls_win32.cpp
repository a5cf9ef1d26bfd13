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

// While a run of the applet holds its claim, its preview is no rival of ours.
bool AppletRunOpen() {
    HANDLE block = OpenFileMappingA(FILE_MAP_READ, FALSE, kRunClaimName);
    if (block == nullptr) {
        // Only a missing block is proof: an elevated run's is closed to us.
        return GetLastError() != ERROR_FILE_NOT_FOUND;
    }
    const auto* claim = static_cast<const RunClaim*>(MapViewOfFile(block, FILE_MAP_READ, 0, 0, 0));
    const bool open = claim == nullptr || claim->holder != 0;
    if (claim != nullptr) {
        UnmapViewOfFile(claim);
    }
    CloseHandle(block);
    return open;
}

}  // namespace

KeeperSystemCalls g_keeperSystemCalls = {PerformanceSeconds, Shell_NotifyIconW, ShellExecuteW,
                                         AppletRunOpen};

}  // namespace tonalis
