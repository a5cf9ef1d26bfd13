// The description field 1212 and the Load button 1301: showing the working
// description, keeping the field plain ASCII, and loading a profile.
#include <windows.h>

#include "model/matching.h"
#include "resources/resource.h"
#include "resources/string_ids.h"
#include "session/messages.h"
#include "ui/controls.h"
#include "ui/page_helpers.h"
#include "ui/profile_dialogs.h"

namespace tonalis {

namespace {

// The field holds what fits in MonitorSettings::description with its terminator.
constexpr int kFieldLimit = kDescriptionSize - 1;

// Units kept; *dropped counts the units removed.
int KeepAsciiUnits(const wchar_t* text, int length, wchar_t* kept, int* dropped) {
    int count = 0;
    for (int i = 0; i < length; ++i) {
        if (text[i] < 128) {
            kept[count++] = text[i];
        }
    }
    kept[count] = L'\0';
    *dropped = length - count;
    return count;
}

}  // namespace

void ShowDescription(HWND window, SessionContext* session) {
    char text[kDescriptionSize];
    lstrcpynA(text, session->workingSettings.description, kDescriptionSize);
    SendMessageA(Control(window, IDC_DESCRIPTION), EM_LIMITTEXT, kFieldLimit, 0);
    SetControlText(window, IDC_DESCRIPTION, text);
}

void FilterDescriptionText(HWND window) {
    HWND edit = Control(window, IDC_DESCRIPTION);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));

    char text[kDescriptionSize + 1];
    int length = GetControlText(window, IDC_DESCRIPTION, text, sizeof text);
    wchar_t wide[kDescriptionSize + 1];
    int units = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, text, length, wide, kDescriptionSize);
    if (units <= 0) {
        return;
    }
    wchar_t kept[kDescriptionSize + 1];
    int dropped = 0;
    int keptUnits = KeepAsciiUnits(wide, units, kept, &dropped);
    // Rewriting an unchanged text would only reset the caret and the undo buffer.
    if (dropped == 0) {
        return;
    }
    MessageBeep(static_cast<UINT>(-1));

    char ascii[kDescriptionSize + 1] = {};
    WideCharToMultiByte(CP_ACP, 0, kept, keptUnits, ascii, kDescriptionSize, nullptr, nullptr);
    SetControlText(window, IDC_DESCRIPTION, ascii);
    // Units dropped after the caret would push it below the start of the text.
    int newStart = static_cast<int>(start) - dropped;
    int newEnd = static_cast<int>(end) - dropped;
    SendMessageA(edit, EM_SETSEL, newStart < 0 ? 0 : newStart, newEnd < 0 ? 0 : newEnd);
}

bool LoadProfileWithPrompt(HWND window, SessionContext* session) {
    if (!SettingsEqual(session->workingSettings, session->savedSettings)) {
        int answer = AskUser(window, session->instance, strings::kLoadLosesChanges,
                             strings::kProductName, MB_YESNO | MB_DEFBUTTON2);
        if (answer != IDYES) {
            return false;
        }
    }
    if (!OpenProfileDialog(window, session)) {
        return false;
    }
    session->savedSettings = session->workingSettings;
    ShowDescription(window, session);
    return true;
}

}  // namespace tonalis
