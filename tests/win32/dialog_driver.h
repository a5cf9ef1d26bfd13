// Plays the user of the modal dialogs of this thread from a timer.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "session/session_context.h"

namespace tonalis::testing {

// Called every tick with the enabled, visible dialog of this thread (null while
// there is none) until it returns true. A dialog still open ten seconds after
// the start is cancelled, so that a fault cannot hang the run.
using DialogStep = std::function<bool(HWND dialog)>;

// Runs show, which opens a modal dialog on this thread, while step drives it.
void DriveDialogs(const std::function<void()>& show, const DialogStep& step);
// A template of the test program's own resources with its procedure.
INT_PTR RunDialog(int templateId, DLGPROC procedure, LPARAM parameter, const DialogStep& step);

void PressButton(HWND dialog, int id);
// The text of the control with the id anywhere below the window; "" when none.
std::string ControlText(HWND window, int id);

// A zero-filled session whose instance is the test program.
std::unique_ptr<SessionContext> NewTestSession();

}  // namespace tonalis::testing
