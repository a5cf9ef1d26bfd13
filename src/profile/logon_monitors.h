// Which monitors the loader at logon gives their calibration back: one choice
// per monitor number, since one Run value serves them all.
#pragma once

#include <cstdint>

namespace tonalis {

// The monitor numbers a choice is kept for; the applet itself keeps four.
constexpr uint32_t kMostLogonMonitors = 16;

// False when nothing says that the monitor wants it.
bool WantsLogonLoad(uint32_t monitor);
// False while the user has made no choice for the monitor.
bool HasLogonChoice(uint32_t monitor);
// False when the choice could not be written.
bool SetLogonLoad(uint32_t monitor, bool wanted);
bool AnyMonitorWantsLogonLoad();

}  // namespace tonalis
