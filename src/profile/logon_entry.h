// The value "Tonalis" under the user's
// Software\Microsoft\Windows\CurrentVersion\Run key: the command Windows runs
// at every logon to give the monitors their calibration back.
#pragma once

#include <windows.h>

#include <cstdint>

namespace tonalis {

// TNP.cpl's keeper, of the form rundll32 calls, started at logon for the
// monitors whose choice asks for it.
constexpr char kLogonKeeperEntry[] = "TNLKeepCalibration";

enum class LogonRemoval { kRemoved, kAbsent, kFailed };

// The registry write that tests make fail: a user's Run key can be locked by
// policy, which Wine cannot do.
struct LogonSystemCalls {
    LONG(WINAPI* setValue)
    (HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
};
extern LogonSystemCalls g_logonSystemCalls;

// Room for a command, in characters.
constexpr uint32_t kLogonCommandSize = 2 * MAX_PATH + 64;

// The command is kept in UTF-16, so that a path outside the ANSI code page
// survives. Writes it and reads it back; false when it is not there.
bool WriteLogonCommand(const wchar_t* command);
LogonRemoval DeleteLogonCommand();
// False when there is no value; size counts characters.
bool ReadLogonCommand(wchar_t* buffer, uint32_t size);

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
bool KeeperCommand(const wchar_t* library, bool logonChoice, wchar_t* command);

// The keeper of this library through rundll32.exe; false when the value could
// not be written. An installed copy writes none and removes the applet's own.
bool InstallLogonLoader();
// Deletes the value when a Tonalis loader wrote it; false when that failed.
bool RemoveLogonLoader();

}  // namespace tonalis
