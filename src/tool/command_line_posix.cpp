// The command line outside Windows: the words as given, UTF-8 in a UTF-8
// locale.
#include "tool/command_line.h"

namespace tonalis::tool {

std::vector<std::string> CommandLineWords(int argc, const char* const* argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
}

}  // namespace tonalis::tool
