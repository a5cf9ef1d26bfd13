// The value "Tonalis" under the user's
// Software\Microsoft\Windows\CurrentVersion\Run key: the command Windows runs
// at every logon to give the monitors their calibration back.
#pragma once

#include <windows.h>

#include <cstdint>

namespace tonalis {

// TNP.cpl's loader, of the form rundll32 calls.
constexpr char kLogonLoaderEntry[] = "TNLLoadCalibration";

enum class LogonRemoval { kRemoved, kAbsent, kFailed };

// The registry write that tests make fail: a user's Run key can be locked by
// policy, which Wine cannot do.
struct LogonSystemCalls {
    LONG(WINAPI* setValue)
    (HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
};
extern LogonSystemCalls g_logonSystemCalls;

// Writes the command and reads it back; false when it is not there.
bool WriteLogonCommand(const char* command);
LogonRemoval DeleteLogonCommand();
// False when there is no value.
bool ReadLogonCommand(char* buffer, uint32_t size);

// The loader of this library through rundll32.exe; false when the value could
// not be written.
bool InstallLogonLoader();
// Deletes the value when a Tonalis loader wrote it; false when that failed.
bool RemoveLogonLoader();

}  // namespace tonalis
