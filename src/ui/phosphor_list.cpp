// The phosphor list 1702: filled from the presets, showing the preset that
// the working primaries match, and applying the user's choice.
#include <windows.h>

#include "model/adjusted_white.h"
#include "model/matching.h"
#include "model/presets.h"
#include "resources/resource.h"
#include "resources/string_ids.h"
#include "ui/controls.h"
#include "ui/page_helpers.h"
#include "ui/procedures.h"

namespace tonalis {

namespace {

constexpr int kCustomPhosphorEntry = kPhosphorPresetCount;

}  // namespace

void FillPhosphorList(HWND window, SessionContext* session) {
    HWND list = Control(window, IDC_PHOSPHOR_LIST);
    ClearList(list);
    AddListStrings(list, session->instance, strings::kFirstPhosphorPreset,
                   strings::kCustomPhosphors);
    SelectPhosphorEntry(session, list);
}

void SelectPhosphorEntry(SessionContext* session, HWND list) {
    const Chromaticity* primaries = session->workingSettings.primaries;
    int entry = kCustomPhosphorEntry;
    for (int i = 0; i < kPhosphorPresetCount; ++i) {
        if (PhosphorsMatchPreset(primaries, i)) {
            entry = i;
            break;
        }
    }
    SelectListIndex(list, entry);
}

void ApplyPhosphorEntry(HWND window, SessionContext* session, HWND list) {
    int entry = SelectedListIndex(list);
    if (entry < 0 || entry > kCustomPhosphorEntry) {
        return;  // nothing selected: nothing to apply
    }
    const MonitorSettings before = session->workingSettings;
    if (entry != kCustomPhosphorEntry) {
        GetPhosphorPreset(entry, session->workingSettings.primaries);
        KeepAdjustedWhite(before, &session->workingSettings);
        return;
    }
    INT_PTR result = DialogBoxParamA(session->instance, MAKEINTRESOURCEA(IDD_CUSTOM_PHOSPHORS),
                                     window, TNLCustomPhosDlg, reinterpret_cast<LPARAM>(session));
    // Cancelled (or never shown): the list goes back to the unchanged phosphors.
    if (result == -1) {
        SelectPhosphorEntry(session, list);
    }
    KeepAdjustedWhite(before, &session->workingSettings);
}

}  // namespace tonalis
