// The list of the tool's subcommands: adding one means adding its row here.
#include "tool/command.h"

namespace tonalis::tool {

namespace {

const Command* const kCommands[] = {
    &kRampCommand,  &kPeaksCommand, &kWhitePointCommand, &kMatrixCommand,
    &kInfoCommand,  &kMakeCommand,  &kVcgtCommand,       &kApplyCommand,
    &kResetCommand, &kShowCommand,  &kKeepCommand,
};

constexpr int kCommandCount = sizeof kCommands / sizeof kCommands[0];

}  // namespace

const Command* const* AllCommands(int* count) {
    *count = kCommandCount;
    return kCommands;
}

const Command* FindCommand(const std::string& name) {
    for (const Command* command : kCommands) {
        if (name == command->name) {
            return command;
        }
    }
    return nullptr;
}

}  // namespace tonalis::tool
