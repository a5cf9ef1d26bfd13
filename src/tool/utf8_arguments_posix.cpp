// The words as the system gives them: UTF-8 already.
#include "tool/utf8_arguments.h"

namespace tonalis::tool {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

}  // namespace tonalis::tool
