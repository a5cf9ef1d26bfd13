// The words of the command line as the commands take them: the description
// in UTF-8 on every system; on Windows the other words in the ANSI code page,
// as the file functions there take them.
#pragma once

#include <string>
#include <vector>

namespace tonalis::tool {

// The words after the program's name.
std::vector<std::string> CommandLineWords(int argc, const char* const* argv);

// The option whose value is text for people rather than a name or number.
constexpr char kTextOption[] = "--description";

}  // namespace tonalis::tool
