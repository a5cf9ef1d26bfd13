// Who made a record that outlives a run: the process, when it started and the
// logon session it ran in, so that a later run tells a dead owner from a live
// one and a record of this logon from one of another.
#pragma once

#include <windows.h>

namespace tonalis {

struct RunOwner {
    DWORD processId;
    FILETIME processStart;  // tells the process from a later one with the same id
    LUID logonSession;
};

// This process, in this logon session.
RunOwner CurrentRunOwner();

bool IsSameOwner(const RunOwner& a, const RunOwner& b);

enum class OwnerStanding {
    kThisProcess,  // this run's own records
    kOtherLogon,   // another logon session, live or not: not this session's display
    kBeforeLogon,  // started before this logon began, so ended with an earlier one
    kAlive,        // still runs, or cannot be asked
    kDead,         // ended in this logon session
};

OwnerStanding StandingOf(const RunOwner& owner);

}  // namespace tonalis
