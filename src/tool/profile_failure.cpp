// The PROFILE operand of the profile subcommands.
#include "tool/profile_failure.h"

#include "model/tool_error.h"
#include "tool/arguments.h"

namespace tonalis::tool {

const std::string& ProfileOperand(const Arguments& arguments) {
    const std::string* operand = arguments.Operand();
    if (operand == nullptr) {
        throw UsageError("PROFILE is required");
    }
    return *operand;
}

}  // namespace tonalis::tool
