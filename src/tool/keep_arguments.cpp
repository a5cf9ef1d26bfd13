// Reading tonalis keep's profiles and options.
#include "tool/keep_arguments.h"

#include <cstdlib>
#include <utility>

#include "model/platform.h"
#include "model/text_format.h"
#include "model/tool_error.h"
#include "tool/arguments.h"
#include "tool/loader_targets.h"

namespace tonalis::tool {

namespace {

// "NAME=PROFILE": an output name holds no slash, and a profile path may hold '='.
bool SplitPair(const std::string& word, std::string* output, std::string* path) {
    const size_t equals = word.find('=');
    if (equals == 0 || equals == std::string::npos ||
        word.substr(0, equals).find('/') != std::string::npos) {
        return false;
    }
    *output = word.substr(0, equals);
    *path = word.substr(equals + 1);
    return true;
}

}  // namespace

double ReadKeepInterval(const Arguments& arguments) {
    const std::string* given = arguments.Value("interval");
    if (given == nullptr) {
        return 2.0;
    }
    char* end = nullptr;
    const double seconds = std::strtod(given->c_str(), &end);
    if (given->empty() || *end != '\0' || !(seconds >= kShortestInterval) ||
        seconds > kLongestInterval) {
        throw UsageError(Format("--interval takes seconds from %g to %g, not \"%s\"",
                                kShortestInterval, kLongestInterval, given->c_str()));
    }
    return seconds;
}

OutputKeepPlan ReadKeepPlan(const Arguments& arguments) {
    OutputKeepPlan plan;
    plan.interval = ReadKeepInterval(arguments);
    plan.quiet = arguments.Has("quiet");
    const std::vector<std::string>& words = arguments.Operands();
    if (words.empty()) {
        throw UsageError("PROFILE or NAME=PROFILE is required");
    }
    const std::string* output = arguments.Value("output");
    for (const std::string& word : words) {
        OutputProfile kept;
        // A lone word that names a file is a profile, '=' or not.
        const bool file = words.size() == 1 && platform::StampOfFile(word.c_str()).found;
        if (file || !SplitPair(word, &kept.output, &kept.path)) {
            if (words.size() > 1) {
                throw UsageError(
                    Format("\"%s\" is not NAME=PROFILE: with more than one "
                           "profile, each names its output",
                           word.c_str()));
            }
            kept.path = word;
            kept.output = output ? *output : "";
        } else if (output != nullptr) {
            throw UsageError("--output goes with a single PROFILE, not with NAME=PROFILE");
        }
        if (ProfileFor(plan, kept.output) != nullptr && !kept.output.empty()) {
            throw UsageError("output " + kept.output + " is given twice");
        }
        kept.file.Changed(kept.path);
        const ProfileTable table = ReadTableOfProfile(kept.path);
        kept.file.Read();
        if (table.problem != TableProblem::kNone) {
            throw UsageError(table.message + "; nothing was changed");
        }
        kept.curves = table.curves;
        plan.profiles.push_back(kept);
    }
    return plan;
}

}  // namespace tonalis::tool
