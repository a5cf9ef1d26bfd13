// The subcommands of the tool. Each lives in its own command_<name>.cpp and is
// listed once in command_table.cpp; a subcommand reads its parsed arguments,
// writes everything it prints into *out, and throws ToolError on failure so
// that nothing partial reaches stdout.
#pragma once

#include <string>

namespace tonalis::tool {

class Arguments;

struct KnownOption {
    const char* name;  // without the leading "--"
    bool takesValue;
};

struct Command {
    const char* name;
    const char* synopsis;  // the usage line after "tonalis "
    const char* help;      // what it prints and what each option means
    const KnownOption* options;
    int optionCount;
    int (*run)(const Arguments& arguments, std::string* out);
    // The one word that is not an option (a file), named as in the synopsis;
    // null for a command that takes none.
    const char* operand = nullptr;
    // Whether the operand may be given more than once.
    bool operandRepeats = false;
};

// Every subcommand accepts these too.
constexpr KnownOption kJsonOption = {"json", false};
constexpr KnownOption kHelpOption = {"help", false};

extern const Command kRampCommand;
extern const Command kPeaksCommand;
extern const Command kWhitePointCommand;
extern const Command kMatrixCommand;
extern const Command kInfoCommand;
extern const Command kMakeCommand;
extern const Command kVcgtCommand;
extern const Command kApplyCommand;
extern const Command kResetCommand;
extern const Command kShowCommand;
extern const Command kKeepCommand;

// The table of subcommands, in the order the help lists them.
const Command* const* AllCommands(int* count);
const Command* FindCommand(const std::string& name);

}  // namespace tonalis::tool
