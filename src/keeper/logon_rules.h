// The logon rules, in one place: for a copy of Tonalis (installed for every
// user or not) and each monitor's choice, which entry starts which loader at
// logon. The applet's logon box and tonalis.exe's --install-logon and
// --remove-logon ask here.
#pragma once

#include <windows.h>

#include <string>

namespace tonalis {

// TNP.cpl's keeper, of the form rundll32 calls, started at logon for the
// monitors whose choice asks for it.
constexpr char kLogonKeeperEntry[] = "TNLKeepCalibration";

// True when a Run value's command names the path (a library, or the install
// folder with its final backslash), in any case. Inline, so that the MSI's
// custom action, a DLL of its own, applies the same rule.
inline bool CommandNames(std::wstring command, std::wstring path) {
    if (command.empty() || path.empty()) {
        return false;
    }
    CharLowerBuffW(&command[0], static_cast<DWORD>(command.size()));
    CharLowerBuffW(&path[0], static_cast<DWORD>(path.size()));
    return command.find(path) != std::wstring::npos;
}

enum class InstalledLoader { kNone, kApplet, kTool };
// Which Tonalis loader the value holds: TNP.cpl's keeper with --logon or
// one-shot loader, which take the monitors that want it, or the keeper
// without it (tonalis.exe's entry) or tonalis.exe keep or apply, which take
// every monitor. kNone for no value or another program's command. With
// no value, an installed copy's per-machine entry counts as TNP.cpl's keeper.
InstalledLoader FindInstalledLoader();

// True when the installers' per-machine entry starts the keeper of the
// TNP.cpl beside this module (nullptr: the program) for every user. Then a
// user's choice is only the per-monitor values: a per-user Run value would
// name a file that an uninstall removes while that user is away.
bool InstalledForEveryUser(HMODULE module);

// The TNP.cpl beside the module (nullptr: the program), MAX_PATH characters;
// false when the path does not fit.
bool LibraryBeside(HMODULE module, wchar_t* path);

// The command that runs the library's keeper through the 32-bit rundll32.exe
// (SysWOW64 on 64-bit Windows), with --logon when it keeps only the monitors
// whose choice asks for it; kLogonCommandSize characters. False when the
// system folder cannot be found.
bool LogonKeeperCommand(const wchar_t* library, bool logonChoice, wchar_t* command);

// The keeper of this library through rundll32.exe; false when the value could
// not be written. An installed copy writes none and removes the applet's own.
bool InstallLogonLoader();
// Deletes the value when a Tonalis loader wrote it; false when that failed.
bool RemoveLogonLoader();

// tonalis.exe's entry, for every monitor: the keeper of the TNP.cpl beside the
// program, or with once the program's one-shot apply; for an installed copy
// each monitor's choice instead, under the per-machine entry. Returns the
// command line it runs; throws ToolError when it cannot be written.
std::string InstallEveryMonitorLoader(bool once);
// Deletes it; false when there was none. Throws ToolError when that failed.
bool RemoveEveryMonitorLoader();

}  // namespace tonalis
