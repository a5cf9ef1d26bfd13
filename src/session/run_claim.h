// The block that the applet's one run per logon session holds while it runs;
// the keeper leaves the tables to that run meanwhile. The block's existence
// proves nothing (a keeper looking at it keeps it in being for a moment): a
// run is open while the block names its process.
#pragma once

#include <windows.h>

namespace tonalis {

constexpr char kRunClaimName[] = "Local\\Tonalis.Run";

struct RunClaim {
    volatile LONG holder;  // the process of the open run, 0 when none
    DWORD windowThread;    // the thread that shows its windows
};

}  // namespace tonalis
