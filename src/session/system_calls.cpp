#include "session/system_calls.h"

#include "session/administrator.h"

namespace tonalis {

namespace {

BOOL WINAPI QueryVersion(OSVERSIONINFOA* info) {
    return GetVersionExA(info);
}

}  // namespace

AppletSystemCalls g_appletSystemCalls = {
    QueryVersion, IsUserAdministrator, GetDeviceCaps, MessageBoxA, GlobalAlloc, GlobalFree,
};

}  // namespace tonalis
