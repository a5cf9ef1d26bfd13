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

}  // namespace tonalis
