// The logon session a run belongs to and when it began, reached through
// pointers so that tests can give what Wine cannot (another session, a logon
// later than the processes of the test).
#pragma once

#include <windows.h>

namespace tonalis {

struct LogonSessionCalls {
    // False when the system cannot say.
    bool (*currentLogonSession)(LUID* session);
    // When the logon session began, else when the system started; false when
    // neither is known.
    bool (*logonTime)(const LUID& session, FILETIME* time);
};

// The real calls; tests swap entries and put them back.
extern LogonSessionCalls g_logonSessionCalls;

}  // namespace tonalis
