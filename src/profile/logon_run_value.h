// The value "Tonalis" under the user's
// Software\Microsoft\Windows\CurrentVersion\Run key: the command Windows runs
// at every logon to give the monitors their calibration back.
#pragma once

#include <windows.h>

#include <cstdint>

namespace tonalis {

// The Run key, under HKEY_CURRENT_USER for a user's value and under
// HKEY_LOCAL_MACHINE for the installers' per-machine entry, and the value.
constexpr char kLogonRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kLogonValueName[] = L"Tonalis";

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

}  // namespace tonalis
