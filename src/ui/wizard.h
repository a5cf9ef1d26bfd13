// The nine-page wizard: its page table, the frame filter and the windows of
// the pages that a monitor change refreshes.
#pragma once

#include <windows.h>
#include <prsht.h>

#include "session/session_context.h"

namespace tonalis {

constexpr int kWizardPageCount = 9;

struct WizardPage {
    WORD dialogId;
    DLGPROC procedure;
};

// In sheet order: 301, 303, 304, 311, 309, 305, 321, 312, 313.
extern const WizardPage kWizardPages[kWizardPageCount];

// The windows of the pages that exist; each is set when its page is
// initialised and cleared when it is destroyed.
struct PageWindows {
    HWND welcome;
    HWND description;
    HWND brightness;
    HWND phosphors;
    HWND gamma;
    HWND hardwareWhite;
    HWND adjustedWhite;
};

extern PageWindows g_pageWindows;

// Every page that exists shows the working settings, as after a move to
// another monitor or a load.
void RefreshWizardPages(SessionContext* session);

// Puts the frame filter in front of the sheet frame's window procedure.
void InstallFrameFilter(HWND frame);

}  // namespace tonalis
