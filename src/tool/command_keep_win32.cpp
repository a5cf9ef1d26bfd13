// tonalis.exe keep: the keeper TNP.cpl runs at logon, from a console, with
// each thing it does as a line on stderr.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "display/display_access.h"
#include "display/gamma_ramp_access.h"
#include "keeper/keeper_link.h"
#include "keeper/keeper_window.h"
#include "keeper/notice_text.h"
#include "model/text_format.h"
#include "model/tool_error.h"
#include "session/messages.h"
#include "tool/arguments.h"
#include "tool/command.h"
#include "tool/keep_arguments.h"
#include "tool/keep_help.h"
#include "tool/keep_line.h"
#include "tool/loader_targets.h"

namespace tonalis::tool {

namespace {

const char* const kControls[] = {"stop", "status", "reload"};

constexpr KeepWords kWindowsWords = {"new monitor loaded", "display change", "wake or unlock",
                                     "tonalis keep --reload or the icon's menu takes it back"};

void Report(const keeper::Notice& notice, void* context) {
    const bool quiet = *static_cast<const bool*>(context);
    if (!quiet || PrintedWhenQuiet(notice.kind)) {
        SayKeepLine(NoticeText(notice, kWindowsWords));
    }
}

// Ctrl+C and closing the console end the keeper as --stop does.
BOOL WINAPI OnConsoleControl(DWORD) {
    DWORD process = 0;
    HWND window = FindKeeperWindow(&process);
    if (window != nullptr && process == GetCurrentProcessId()) {
        PostMessageW(window, WM_CLOSE, 0, 0);
        return TRUE;
    }
    return FALSE;
}

int Control(const Arguments& arguments, std::string* out) {
    if (arguments.Has("stop")) {
        switch (StopKeeper(5000)) {
            case KeeperStop::kStopped:
                *out = "stopped the keeper; the tables stay loaded\n";
                return kExitSuccess;
            case KeeperStop::kNoneRunning:
                throw ToolError(kExitFailure, "no keeper is running in this session");
            default:
                throw ToolError(kExitFailure, "the keeper did not stop");
        }
    }
    if (arguments.Has("reload")) {
        if (!TellKeeperToReload(-1)) {
            throw ToolError(kExitFailure, "no keeper is running in this session");
        }
        *out = "the keeper loads each monitor's profile again and keeps every one\n";
        return kExitSuccess;
    }
    if (!AskKeeperStatus(out)) {
        throw ToolError(kExitFailure, "no keeper is running in this session");
    }
    return kExitSuccess;
}

// The profile given for every monitor kept, sampled as apply samples it.
void ReadGivenProfile(const std::string& path, UserKeepChoice* choice) {
    const ProfileTable table = ReadTableOfProfile(path);
    if (table.problem != TableProblem::kNone) {
        throw UsageError(table.message + "; nothing was changed");
    }
    for (int c = 0; c < 3; ++c) {
        const std::vector<uint16_t> entries = SampleVcgtCurve(table.curves, c, kRampSize);
        std::copy(entries.begin(), entries.end(), choice->profileTable.Channel(c));
    }
    choice->hasProfile = true;
    choice->profileName = path;
}

int RunKeep(const Arguments& arguments, std::string* out) {
    if (ModuleInstance() == nullptr) {
        SetModuleInstance(GetModuleHandleA(nullptr));
    }
    int controls = 0;
    for (const char* control : kControls) {
        controls += arguments.Has(control) ? 1 : 0;
    }
    const bool bare = arguments.Operands().empty() && !arguments.Has("monitor") &&
                      !arguments.Has("interval") && !arguments.Has("quiet") &&
                      !arguments.Has("no-tray");
    if (controls > 1 || (controls == 1 && !bare)) {
        throw UsageError("--stop, --status and --reload take no other argument");
    }
    if (controls == 1) {
        return Control(arguments, out);
    }
    // Every keeper honours it, as apply and the logon's keeper do.
    if (RampReadsSwitchedOff()) {
        throw ToolError(kExitFailure, std::string(kTablesSwitchedOffText) + "; nothing is kept");
    }
    KeeperSettings settings;
    settings.interval = ReadKeepInterval(arguments);
    settings.tray = !arguments.Has("no-tray");
    if (const std::string* path = arguments.Operand()) {
        ReadGivenProfile(*path, &settings.choice);
    }
    if (arguments.Has("monitor")) {
        std::unique_ptr<DisplayAccess> access = OpenDisplayAccess();
        settings.choice.monitor = SelectOutputs(arguments, *access).front();
    }
    bool quiet = arguments.Has("quiet");
    settings.report = Report;
    settings.reportContext = &quiet;
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    DWORD running = 0;
    switch (RunKeeper(settings, &running)) {
        case KeeperEnd::kEnded:
            return kExitSuccess;
        case KeeperEnd::kAlreadyRunning:
            throw ToolError(kExitFailure,
                            Format("a keeper is already running in this session (process %lu); "
                                   "it loads each monitor's profile again. tonalis keep --stop "
                                   "ends it",
                                   running));
        default:
            throw ToolError(kExitFailure, "cannot make the keeper's window");
    }
}

const KnownOption kOptions[] = {kMonitorOption,     {"interval", true}, {"quiet", false},
                                {"no-tray", false}, {"stop", false},    {"status", false},
                                {"reload", false}};

}  // namespace

extern const Command kKeepCommand = {
    "keep",  kKeepSynopsis, kKeepHelp, kOptions, sizeof kOptions / sizeof kOptions[0],
    RunKeep, "PROFILE",
};

}  // namespace tonalis::tool
