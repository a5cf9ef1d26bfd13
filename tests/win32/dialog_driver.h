// Drives the modal dialogs of this thread from a timer, as a user would: each
// tick hands the dialog that takes input to a step until the step is done.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "session/session_context.h"

namespace tonalis::testing {

// Called every tick with the enabled, visible dialog of this thread (null when
// there is none yet); returns true when it has nothing more to do. Whatever
// dialog is still open two seconds after that, or ten seconds after the start,
// is cancelled so that a fault cannot hang the run.
using DialogStep = std::function<bool(HWND dialog)>;

// Runs show (which opens a modal dialog on this thread) while step drives it.
void DriveDialogs(const std::function<void()>& show, const DialogStep& step);

// Shows the template of the test program's own resources with the procedure.
INT_PTR RunDialog(int templateId, DLGPROC procedure, LPARAM parameter, const DialogStep& step);

void PressButton(HWND dialog, int id);
std::string ControlText(HWND dialog, int id);
// The id of the control that has the focus, 0 when no control of this thread has.
int FocusedControl();
// A control with the id anywhere below the window, for dialogs inside dialogs.
HWND FindDescendant(HWND window, int id);

// A zero-filled session whose instance is the test program.
struct SessionDeleter {
    void operator()(SessionContext* session) const;
};
using SessionHolder = std::unique_ptr<SessionContext, SessionDeleter>;
SessionHolder NewTestSession();

}  // namespace tonalis::testing
