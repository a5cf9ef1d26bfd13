#include "display/logon_session.h"

#include <ntsecapi.h>

namespace tonalis {

namespace {

constexpr ULONGLONG kTicksPerMillisecond = 10000;

ULONGLONG AsTicks(const FILETIME& time) {
    return static_cast<ULONGLONG>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

FILETIME FromTicks(ULONGLONG ticks) {
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return time;
}

// The security library answers on Windows XP and later; Wine does not.
bool SessionStart(const LUID& session, FILETIME* time) {
    using GetSessionData = NTSTATUS(NTAPI*)(PLUID, PSECURITY_LOGON_SESSION_DATA*);
    using FreeBuffer = NTSTATUS(NTAPI*)(PVOID);
    HMODULE library = LoadLibraryA("secur32.dll");
    if (library == nullptr) {
        return false;
    }
    auto getData = reinterpret_cast<GetSessionData>(
        reinterpret_cast<void*>(GetProcAddress(library, "LsaGetLogonSessionData")));
    auto freeBuffer = reinterpret_cast<FreeBuffer>(
        reinterpret_cast<void*>(GetProcAddress(library, "LsaFreeReturnBuffer")));
    bool known = false;
    PSECURITY_LOGON_SESSION_DATA data = nullptr;
    LUID asked = session;
    if (getData != nullptr && freeBuffer != nullptr && getData(&asked, &data) == 0 &&
        data != nullptr) {
        known = data->LogonTime.QuadPart > 0;
        if (known) {
            *time = FromTicks(static_cast<ULONGLONG>(data->LogonTime.QuadPart));
        }
        freeBuffer(data);
    }
    FreeLibrary(library);
    return known;
}

FILETIME SystemStart() {
    using TickCount64 = ULONGLONG(WINAPI*)();
    auto ticks64 = reinterpret_cast<TickCount64>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetTickCount64")));
    ULONGLONG upMilliseconds = ticks64 != nullptr ? ticks64() : GetTickCount();
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return FromTicks(AsTicks(now) - upMilliseconds * kTicksPerMillisecond);
}

}  // namespace

bool CurrentLogonSession(LUID* session) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return false;
    }
    TOKEN_STATISTICS statistics = {};
    DWORD size = 0;
    bool known =
        GetTokenInformation(token, TokenStatistics, &statistics, sizeof statistics, &size) != FALSE;
    CloseHandle(token);
    if (known) {
        *session = statistics.AuthenticationId;
    }
    return known;
}

FILETIME LogonTime(const LUID& session) {
    FILETIME time;
    return SessionStart(session, &time) ? time : SystemStart();
}

}  // namespace tonalis
