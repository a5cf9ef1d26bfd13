// The pages of the wizard in the order the sheet shows them.
#include "resources/resource.h"
#include "ui/procedures.h"
#include "ui/wizard.h"

namespace tonalis {

const WizardPage kWizardPages[kWizardPageCount] = {
    {IDD_WELCOME, TNLWelcomeDlg},
    {IDD_DESCRIPTION, TNLCurrentDlg},
    {IDD_BRIGHTNESS, TNLMonitorDlg},
    {IDD_PHOSPHORS, TNLPhosphorsDlg},
    {IDD_GAMMA, TNLGammaDlg},
    {IDD_HARDWARE_WHITE, TNLWhiteBalDlg},
    {IDD_ADJUSTED_WHITE, AdjustedWhitePageProc},
    {IDD_FINISH_COMPARE, TNLFinishFullDlg},
    {IDD_FINISH_PLAIN, TNLFinishFullDlg},
};

}  // namespace tonalis
