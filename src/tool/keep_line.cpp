// A line of tonalis keep on stderr, on X and on Windows.
#include "tool/keep_line.h"

#include <ctime>

#include "model/text_format.h"
#include "tool/console_output.h"

namespace tonalis::tool {

void SayKeepLine(const std::string& line) {
    const time_t now = time(nullptr);
    char clock[16];
    strftime(clock, sizeof clock, "%H:%M:%S", localtime(&now));
    WriteOutput(stderr, Format("%s tonalis keep: %s\n", clock, line.c_str()));
}

}  // namespace tonalis::tool
