// The tool's help: an overview of every subcommand, and one subcommand's page.
#pragma once

#include <string>

#include "tool/command.h"

namespace tonalis::tool {

std::string ToolHelp();
std::string CommandHelp(const Command& command);

}  // namespace tonalis::tool
