// Whether the user may run the applet on systems that demand administrator rights.
#pragma once

namespace tonalis {

// Whether the calling thread's user belongs to the local Administrators group.
bool IsUserAdministrator();

}  // namespace tonalis
