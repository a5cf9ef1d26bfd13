// The PROFILE operand of the profile subcommands; their refusals are in
// profile/profile_failure_text.h.
#pragma once

#include <string>

#include "profile/profile_failure_text.h"

namespace tonalis::tool {

class Arguments;

// The PROFILE operand of info and vcgt; a UsageError when it is missing.
const std::string& ProfileOperand(const Arguments& arguments);

}  // namespace tonalis::tool
