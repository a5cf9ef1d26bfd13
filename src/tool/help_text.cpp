// Help text assembled from the table of subcommands.
#include "tool/help_text.h"

#include "model/plausible_ranges.h"
#include "model/text_format.h"
#include "tool/colour_options.h"

namespace tonalis::tool {

namespace {

std::string ValueNotes() {
    const ChromaticityRange& w = kWhitePointRange;
    const ChromaticityRange* p = kPhosphorRanges;
    return "WHITE  a white point preset: " + WhitePresetNames() + ";\n" +
           Format("       or x,y with x %g to %g and y %g to %g.\n", w.x.low, w.x.high, w.y.low,
                  w.y.high) +
           "SET    a phosphor preset: " + PhosphorPresetNames() + ";\n" +
           Format(
               "       or rx,ry,gx,gy,bx,by with red x %g to %g, y %g to %g,\n"
               "       green x %g to %g, y %g to %g, blue x %g to %g, y %g to %g;\n"
               "       no y may be 0.\n",
               p[0].x.low, p[0].x.high, p[0].y.low, p[0].y.high, p[1].x.low, p[1].x.high,
               p[1].y.low, p[1].y.high, p[2].x.low, p[2].x.high, p[2].y.low, p[2].y.high) +
           "Output is readable text; --json prints one JSON object instead, with numbers\n"
           "at full double precision. Bad input prints one line on stderr, nothing on\n"
           "stdout, and exits with status 2.\n";
}

}  // namespace

std::string ToolHelp() {
    std::string text =
        "Usage: tonalis COMMAND [OPTIONS]\n"
        "       tonalis COMMAND --help\n"
        "Monitor calibration arithmetic: video lookup tables, white point shifts and\n"
        "colour matrices; and monitor profiles, read and written as the applet does.\n";
    int count = 0;
    const Command* const* commands = AllCommands(&count);
    for (int i = 0; i < count; ++i) {
        text += "\ntonalis " + std::string(commands[i]->synopsis) + "\n" + commands[i]->help;
    }
    return text + "\n" + ValueNotes();
}

std::string CommandHelp(const Command& command) {
    return "Usage: tonalis " + std::string(command.synopsis) + "\n" + command.help + "\n" +
           ValueNotes();
}

}  // namespace tonalis::tool
