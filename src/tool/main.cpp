// tonalis: the calibration arithmetic of the applet on the command line. The
// first word names a subcommand; everything it prints is built before any of
// it is written, so a failure leaves stdout empty.
#include <exception>
#include <string>
#include <vector>

#include "model/text_format.h"
#include "model/tool_error.h"
#include "tool/arguments.h"
#include "tool/command.h"
#include "tool/console_output.h"
#include "tool/help_text.h"
#include "tool/utf8_arguments.h"

namespace tonalis::tool {

namespace {

int Print(const std::string& text) {
    if (!WriteOutput(stdout, text)) {
        WriteOutput(stderr, "tonalis: cannot write the output\n");
        return kExitFailure;
    }
    return kExitSuccess;
}

int Fail(const char* command, const char* message, int status) {
    WriteOutput(stderr,
                Format("tonalis%s%s: %s\n", command ? " " : "", command ? command : "", message));
    return status;
}

int RunTool(const std::vector<std::string>& words) {
    if (words.empty()) {
        return Fail(nullptr, "no command given; try tonalis --help", kExitBadInput);
    }
    const std::string& first = words[0];
    if (first == "--help" || first == "-h" || first == "help") {
        return Print(ToolHelp());
    }
    const Command* command = FindCommand(first);
    if (command == nullptr) {
        const std::string message = "unknown command \"" + first + "\"; try tonalis --help";
        return Fail(nullptr, message.c_str(), kExitBadInput);
    }
    try {
        std::vector<const char*> rest;
        for (size_t i = 1; i < words.size(); ++i) {
            rest.push_back(words[i].c_str());
        }
        const Arguments arguments = Arguments::Parse(*command, int(rest.size()), rest.data());
        if (arguments.Has("help")) {
            return Print(CommandHelp(*command));
        }
        std::string out;
        const int status = command->run(arguments, &out);
        const int printed = Print(out);
        return status != kExitSuccess ? status : printed;
    } catch (const ToolError& error) {
        return Fail(command->name, error.what(), error.status());
    } catch (const std::exception& error) {
        return Fail(command->name, error.what(), kExitFailure);
    }
}

}  // namespace

}  // namespace tonalis::tool

int main(int argc, char** argv) {
    const std::vector<std::string> words = tonalis::tool::Utf8Arguments(argc, argv);
    return tonalis::tool::RunTool(
        std::vector<std::string>(words.begin() + (words.empty() ? 0 : 1), words.end()));
}
