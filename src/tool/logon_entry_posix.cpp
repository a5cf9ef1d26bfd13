// The logon entry where the system has no Run key: the session's own start-up
// file runs the loader instead.
#include "model/tool_error.h"
#include "tool/logon_entry.h"

namespace tonalis::tool {

namespace {

const char kNoRunKey[] =
    "the logon entry is Windows' Run key; in an X session put \"tonalis apply PROFILE\" "
    "into the session's start-up file (for example ~/.xprofile)";

}  // namespace

std::string InstallLogonEntry(bool) {
    throw UsageError(kNoRunKey);
}

bool RemoveLogonEntry() {
    throw UsageError(kNoRunKey);
}

bool StopSessionKeeper() {
    return false;
}

}  // namespace tonalis::tool
