// Whether the user of the calling thread belongs to the local Administrators group.
#include "session/administrator.h"

#include <windows.h>

namespace tonalis {

namespace {

constexpr DWORD kTokenGroupsBufferSize = 1024;

HANDLE OpenQueryToken() {
    HANDLE token = nullptr;
    if (OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token)) {
        return token;
    }
    if (GetLastError() != ERROR_NO_TOKEN) {
        return nullptr;
    }
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return nullptr;
    }
    return token;
}

}  // namespace

bool IsUserAdministrator() {
    HANDLE token = OpenQueryToken();
    if (token == nullptr) {
        return false;
    }
    // DWORD-aligned storage for the TOKEN_GROUPS that the call writes.
    DWORD storage[kTokenGroupsBufferSize / sizeof(DWORD)];
    DWORD needed = 0;
    BOOL gotGroups =
        GetTokenInformation(token, TokenGroups, storage, kTokenGroupsBufferSize, &needed);
    CloseHandle(token);
    if (!gotGroups) {
        return false;
    }

    SID_IDENTIFIER_AUTHORITY ntAuthority = {{0, 0, 0, 0, 0, 5}};
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                  DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &administrators)) {
        return false;
    }
    const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(storage);
    bool isMember = false;
    for (DWORD i = 0; i < groups->GroupCount && !isMember; ++i) {
        isMember = EqualSid(groups->Groups[i].Sid, administrators) != FALSE;
    }
    FreeSid(administrators);
    return isMember;
}

}  // namespace tonalis
