// The name of the block that the applet's one run per logon session holds
// open while it runs; the keeper leaves the tables to that run meanwhile.
#pragma once

namespace tonalis {

constexpr char kRunClaimName[] = "Local\\Tonalis.Run";

}  // namespace tonalis
