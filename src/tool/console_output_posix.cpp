// Text output on X: a terminal takes the UTF-8 bytes as they are.
#include "tool/console_output.h"

namespace tonalis::tool {

bool WriteOutput(std::FILE* stream, const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size() &&
           std::fflush(stream) == 0;
}

}  // namespace tonalis::tool
