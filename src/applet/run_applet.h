// One run of the applet, from the double-click to the last window closing.
#pragma once

#include <windows.h>
#include <prsht.h>

#include "session/session_context.h"

namespace tonalis {

// Size of the page record that the wizard's pages are built with.
constexpr UINT kWizardPageRecordSize = 48;

// One run: -1 when the session cannot start, 0 when another run of this logon
// session was brought to the front instead, else the result of the last window.
int RunApplet(HWND owner, HINSTANCE instance);
void FillWizardPage(PROPSHEETPAGEA* page, WORD dialogId, DLGPROC procedure,
                    SessionContext* session);

}  // namespace tonalis
