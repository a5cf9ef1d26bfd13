// The description field 1212 and the Load button 1301: a field that takes text
// in any language, showing and keeping the working description, and loading
// a profile.
#include <windows.h>

#include "model/matching.h"
#include "model/unicode_text.h"
#include "resources/resource.h"
#include "resources/string_ids.h"
#include "session/messages.h"
#include "ui/controls.h"
#include "ui/page_helpers.h"
#include "ui/profile_dialogs.h"

namespace tonalis {

namespace {

// Units kept; *dropped counts the units removed.
int KeepTextUnits(const wchar_t* text, int length, wchar_t* kept, int* dropped) {
    int count = 0;
    for (int i = 0; i < length; ++i) {
        if (!IsControlCharacter(text[i])) {
            kept[count++] = text[i];
        }
    }
    kept[count] = L'\0';
    *dropped = length - count;
    return count;
}

}  // namespace

void MakeDescriptionFieldWide(HWND window) {
    MakeControlWide(window, IDC_DESCRIPTION);
}

void ShowDescription(HWND window, SessionContext* session) {
    wchar_t text[kDescriptionUnits + 1];
    Utf8ToUtf16(session->workingSettings.description, reinterpret_cast<char16_t*>(text),
                kDescriptionUnits + 1);
    HWND edit = Control(window, IDC_DESCRIPTION);
    SendMessageW(edit, EM_LIMITTEXT, kDescriptionUnits, 0);
    SetWindowTextW(edit, text);
}

void CopyDescription(HWND window, SessionContext* session) {
    wchar_t text[kDescriptionUnits + 1] = {};
    const int units = GetWindowTextW(Control(window, IDC_DESCRIPTION), text, kDescriptionUnits + 1);
    Utf16ToUtf8(reinterpret_cast<const char16_t*>(text), size_t(units > 0 ? units : 0),
                session->workingSettings.description, kDescriptionSize);
}

void FilterDescriptionText(HWND window) {
    HWND edit = Control(window, IDC_DESCRIPTION);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));

    wchar_t text[kDescriptionUnits + 2];
    int units = GetWindowTextW(edit, text, kDescriptionUnits + 2);
    if (units <= 0) {
        return;
    }
    wchar_t kept[kDescriptionUnits + 2];
    int dropped = 0;
    KeepTextUnits(text, units, kept, &dropped);
    // Rewriting an unchanged text would only reset the caret and the undo buffer.
    if (dropped == 0) {
        return;
    }
    MessageBeep(static_cast<UINT>(-1));
    SetWindowTextW(edit, kept);
    // Units dropped after the caret would push it below the start of the text.
    int newStart = static_cast<int>(start) - dropped;
    int newEnd = static_cast<int>(end) - dropped;
    SendMessageW(edit, EM_SETSEL, newStart < 0 ? 0 : newStart, newEnd < 0 ? 0 : newEnd);
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
