// The command line as UTF-8 words, the form every path is kept in.
#pragma once

#include <string>
#include <vector>

namespace tonalis::tool {

std::vector<std::string> Utf8Arguments(int argc, char** argv);

}  // namespace tonalis::tool
