// Dialog 131: asks whether to save the changes to the named profile before
// closing. Exported with the dialog procedures; the applet's own flows do not
// open it.
#include <cstdio>

#include "resources/resource.h"
#include "resources/string_ids.h"
#include "session/messages.h"
#include "ui/controls.h"
#include "ui/procedures.h"

namespace tonalis {

namespace {

constexpr int kPromptFormatSize = 60;
constexpr int kPromptSize = kPromptFormatSize + MAX_PATH;

constexpr INT_PTR kCancelled = 1;
constexpr INT_PTR kSave = 2;
constexpr INT_PTR kDontSave = 3;

INT_PTR OnInitDialog(HWND dialog, LPARAM lParam) {
    const char* name = reinterpret_cast<const char*>(lParam);
    if (name == nullptr) {
        EndDialog(dialog, -1);
        return TRUE;
    }
    char format[kPromptFormatSize] = {};
    LoadStringA(ModuleInstance(), strings::kSaveChangesPrompt, format, kPromptFormatSize);
    char prompt[kPromptSize];
    std::snprintf(prompt, sizeof prompt, format, name);
    SetControlText(dialog, IDC_SAVE_WARNING_TEXT, prompt);
    return TRUE;
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
    switch (LOWORD(wParam)) {
        case IDC_SAVE_WARNING_SAVE:
            EndDialog(dialog, kSave);
            return TRUE;
        case IDC_SAVE_WARNING_DONT_SAVE:
            EndDialog(dialog, kDontSave);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, kCancelled);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

}  // namespace tonalis

using namespace tonalis;

INT_PTR CALLBACK TNLSaveWarnDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog(dialog, lParam);
        case WM_COMMAND:
            return OnCommand(dialog, wParam);
        default:
            return FALSE;
    }
}
