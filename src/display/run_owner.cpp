#include "display/run_owner.h"

#include "display/logon_session.h"

namespace tonalis {

namespace {

// PROCESS_QUERY_LIMITED_INFORMATION, which Windows Vista and later grant for
// processes of other users; older systems want PROCESS_QUERY_INFORMATION.
constexpr DWORD kQueryLimited = 0x1000;

HANDLE OpenForQuery(DWORD processId) {
    HANDLE process = OpenProcess(kQueryLimited, FALSE, processId);
    return process != nullptr ? process : OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
}

bool IsAlive(const RunOwner& owner) {
    HANDLE process = OpenForQuery(owner.processId);
    if (process == nullptr) {
        // Only "no such process" is proof; a refused query may hide a live run.
        return GetLastError() != ERROR_INVALID_PARAMETER;
    }
    FILETIME start, end, kernel, user;
    DWORD exitCode = 0;
    bool sameProcess = !GetProcessTimes(process, &start, &end, &kernel, &user) ||
                       CompareFileTime(&start, &owner.processStart) == 0;
    bool running = GetExitCodeProcess(process, &exitCode) && exitCode == STILL_ACTIVE;
    CloseHandle(process);
    return sameProcess && running;
}

}  // namespace

RunOwner CurrentRunOwner() {
    RunOwner owner = {};
    owner.processId = GetCurrentProcessId();
    FILETIME end, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &owner.processStart, &end, &kernel, &user);
    if (!CurrentLogonSession(&owner.logonSession)) {
        owner.logonSession = {};
    }
    return owner;
}

bool IsSameOwner(const RunOwner& a, const RunOwner& b) {
    return a.processId == b.processId && CompareFileTime(&a.processStart, &b.processStart) == 0 &&
           a.logonSession.LowPart == b.logonSession.LowPart &&
           a.logonSession.HighPart == b.logonSession.HighPart;
}

OwnerStanding StandingOf(const RunOwner& owner) {
    RunOwner current = CurrentRunOwner();
    if (IsSameOwner(owner, current)) {
        return OwnerStanding::kThisProcess;
    }
    if (owner.logonSession.LowPart != current.logonSession.LowPart ||
        owner.logonSession.HighPart != current.logonSession.HighPart) {
        return OwnerStanding::kOtherLogon;
    }
    FILETIME logon = LogonTime(current.logonSession);
    if (CompareFileTime(&owner.processStart, &logon) < 0) {
        return OwnerStanding::kBeforeLogon;
    }
    return IsAlive(owner) ? OwnerStanding::kAlive : OwnerStanding::kDead;
}

}  // namespace tonalis
