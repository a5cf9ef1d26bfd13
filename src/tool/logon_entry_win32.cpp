// tonalis.exe's logon entry: the logon rules decide what it is, and stopping
// the keeper of this session ends the one running now.
#include "keeper/keeper_link.h"
#include "keeper/logon_rules.h"
#include "model/tool_error.h"
#include "tool/logon_entry.h"

namespace tonalis::tool {

std::string InstallLogonEntry(bool once) {
    return InstallEveryMonitorLoader(once);
}

bool RemoveLogonEntry() {
    return RemoveEveryMonitorLoader();
}

bool StopSessionKeeper() {
    switch (StopKeeper(5000)) {
        case KeeperStop::kStopped:
            return true;
        case KeeperStop::kNoneRunning:
            return false;
        default:
            throw ToolError(kExitFailure, "the running keeper did not stop");
    }
}

}  // namespace tonalis::tool
