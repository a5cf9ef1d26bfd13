// tonalis keep: stays running and keeps the profiles' tables in the display,
// putting them back when another program, a mode change or a new output
// takes them away.
#include <signal.h>
#include <time.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "keeper/keep_autostart.h"
#include "keeper/keep_loop.h"
#include "keeper/keeper_lock.h"
#include "model/text_format.h"
#include "model/tool_error.h"
#include "tool/arguments.h"
#include "tool/command.h"
#include "tool/keep_arguments.h"
#include "tool/keep_help.h"
#include "tool/keep_line.h"
#include "tool/loader_targets.h"

namespace tonalis::tool {

namespace {

const char* const kControls[] = {"stop", "status", "reload", "install-autostart",
                                 "remove-autostart"};

std::string Display() {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0') {
        throw UsageError("no display: DISPLAY is not set");
    }
    return name;
}

int RunningOrFail(KeeperLock& instance, const std::string& display) {
    const int process = instance.RunningProcess();
    if (process <= 0) {
        throw ToolError(kExitFailure, "no keeper is running on display " + DisplayKey(display));
    }
    return process;
}

int Stop(std::string* out) {
    const std::string display = Display();
    KeeperLock instance(display);
    const int process = RunningOrFail(instance, display);
    if (kill(process, SIGTERM) != 0 || !instance.WaitUntilFree(5.0)) {
        throw ToolError(kExitFailure, Format("the keeper (process %d) did not stop", process));
    }
    *out = Format("stopped the keeper (process %d); the tables stay loaded\n", process);
    return kExitSuccess;
}

int Signal(int number, std::string* out) {
    const std::string display = Display();
    KeeperLock instance(display);
    const int process = RunningOrFail(instance, display);
    if (number == SIGHUP) {
        kill(process, SIGHUP);
        *out = Format("the keeper (process %d) reads its profiles again and keeps every output\n",
                      process);
        return kExitSuccess;
    }
    // The keeper writes its status when asked; wait for the new file.
    instance.ClearStatus();
    kill(process, SIGUSR1);
    for (int tries = 0; tries < 250; ++tries) {
        if (instance.ReadStatus(out)) {
            return kExitSuccess;
        }
        const timespec pause = {0, 20 * 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
    throw ToolError(kExitFailure, Format("the keeper (process %d) did not answer", process));
}

// The words an autostart entry repeats: absolute profile paths and the options.
std::vector<std::string> AutostartWords(const Arguments& arguments, const OutputKeepPlan& plan) {
    std::vector<std::string> words;
    for (const OutputProfile& kept : plan.profiles) {
        char* absolute = realpath(kept.path.c_str(), nullptr);
        const std::string path = absolute ? absolute : kept.path;
        std::free(absolute);
        const bool pair = !kept.output.empty() && arguments.Value("output") == nullptr;
        words.push_back(pair ? kept.output + "=" + path : path);
    }
    for (const char* option : {"output", "interval"}) {
        if (const std::string* value = arguments.Value(option)) {
            words.push_back(std::string("--") + option);
            words.push_back(*value);
        }
    }
    if (plan.quiet) {
        words.push_back("--quiet");
    }
    return words;
}

int RunKeep(const Arguments& arguments, std::string* out) {
    int controls = 0;
    for (const char* control : kControls) {
        controls += arguments.Has(control) ? 1 : 0;
    }
    const bool bare = arguments.Operands().empty() && !arguments.Has("output") &&
                      !arguments.Has("interval") && !arguments.Has("quiet");
    if (controls > 1 || (controls == 1 && !bare && !arguments.Has("install-autostart"))) {
        throw UsageError(
            "--stop, --status, --reload and --remove-autostart take no other argument");
    }
    if (arguments.Has("stop")) {
        return Stop(out);
    }
    if (arguments.Has("status")) {
        return Signal(SIGUSR1, out);
    }
    if (arguments.Has("reload")) {
        return Signal(SIGHUP, out);
    }
    if (arguments.Has("remove-autostart")) {
        std::string path;
        *out =
            RemoveKeepAutostart(&path) ? "removed " + path + "\n" : "there was no " + path + "\n";
        return kExitSuccess;
    }
    // Every profile is read before anything else: a bad one changes nothing.
    OutputKeepPlan plan = ReadKeepPlan(arguments);
    if (arguments.Has("install-autostart")) {
        *out = "runs at logon: " + InstallKeepAutostart(AutostartWords(arguments, plan)) + "\n";
        return kExitSuccess;
    }
    const std::string display = Display();
    KeeperLock instance(display);
    if (!instance.Acquire()) {
        throw ToolError(kExitFailure,
                        Format("a keeper is already running on display %s "
                               "(process %d); tonalis keep --stop ends it",
                               DisplayKey(display).c_str(), instance.RunningProcess()));
    }
    return RunKeeper(plan, display, instance, SayKeepLine);
}

const KnownOption kOptions[] = {kOutputOption,
                                {"interval", true},
                                {"quiet", false},
                                {"stop", false},
                                {"status", false},
                                {"reload", false},
                                {"install-autostart", false},
                                {"remove-autostart", false}};

}  // namespace

extern const Command kKeepCommand = {
    "keep",  kKeepSynopsis, kKeepHelp, kOptions, sizeof kOptions / sizeof kOptions[0],
    RunKeep, "PROFILE",     true,
};

}  // namespace tonalis::tool
