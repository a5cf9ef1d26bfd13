// The hardware (1203) and adjusted (1202) white point lists: filled from the
// presets, showing the matching entry, and applying the user's choice.
#include <windows.h>

#include "model/adjusted_white.h"
#include "model/matching.h"
#include "model/presets.h"
#include "model/white_point.h"
#include "resources/resource.h"
#include "resources/string_ids.h"
#include "ui/controls.h"
#include "ui/page_helpers.h"
#include "ui/procedures.h"

namespace tonalis {

namespace {

// Preset indexes as the hardware list shows them; the adjusted list shows
// each one a place further down, after "same as hardware".
constexpr int kSameAsHardwareIndex = -1;
constexpr int kCustomWhiteIndex = kWhitePresetCount;

int ListOffset(WhiteListKind kind) {
    return kind == kAdjustedWhite ? 1 : 0;
}

int FirstMatchingPreset(Chromaticity white) {
    for (int i = 0; i < kWhitePresetCount; ++i) {
        if (WhiteMatchesPreset(white, i)) {
            return i;
        }
    }
    return kCustomWhiteIndex;
}

void OpenCustomWhiteDialog(HWND window, SessionContext* session, WhiteListKind kind) {
    session->customWhiteTarget = kind;
    int dialogId = kind == kHardwareWhite ? IDD_CUSTOM_HARDWARE_WHITE : IDD_CUSTOM_ADJUSTED_WHITE;
    DialogBoxParamA(session->instance, MAKEINTRESOURCEA(dialogId), window, TNLCustomWhiteDlg,
                    reinterpret_cast<LPARAM>(session));
}

}  // namespace

void FillWhiteList(HWND window, SessionContext* session, int listId, WhiteListKind kind) {
    HWND list = Control(window, listId);
    ClearList(list);
    int first = kind == kAdjustedWhite ? strings::kSameAsHardware : strings::kFirstWhitePreset;
    AddListStrings(list, session->instance, first, strings::kCustomWhite);
    SelectWhiteEntry(session, list, kind);
}

void FillAdjustedWhiteList(HWND window, SessionContext* session) {
    // Shown again when the window moves back to a monitor with a table.
    bool hasTable = session->workingSettings.hasGammaRamp == 1;
    ShowControl(window, IDC_ADJUSTED_WHITE_LABEL, hasTable);
    ShowControl(window, IDC_ADJUSTED_WHITE_LIST, hasTable);
    if (hasTable) {
        FillWhiteList(window, session, IDC_ADJUSTED_WHITE_LIST, kAdjustedWhite);
    }
}

void SelectWhiteEntry(SessionContext* session, HWND list, WhiteListKind kind) {
    const MonitorSettings& working = session->workingSettings;
    int index;
    if (kind == kHardwareWhite) {
        index = FirstMatchingPreset(working.hardwareWhite);
    } else if (ChromaticityMatches(working.adjustedWhite, working.hardwareWhite)) {
        index = kSameAsHardwareIndex;
    } else {
        index = FirstMatchingPreset(working.adjustedWhite);
    }
    SelectListIndex(list, index + ListOffset(kind));
}

void ApplyWhiteEntry(HWND window, SessionContext* session, HWND list, WhiteListKind kind) {
    int selected = SelectedListIndex(list);
    if (selected < 0) {
        return;  // nothing selected: nothing to apply
    }
    int index = selected - ListOffset(kind);
    MonitorSettings& working = session->workingSettings;
    const MonitorSettings before = working;
    bool custom = index >= kCustomWhiteIndex;
    if (custom) {
        OpenCustomWhiteDialog(window, session, kind);
    } else if (kind == kHardwareWhite) {
        working.hardwareWhite = GetWhitePreset(index);
    } else if (index == kSameAsHardwareIndex) {
        working.adjustedWhite = working.hardwareWhite;
    } else {
        working.adjustedWhite = GetWhitePreset(index);
    }
    if (kind == kAdjustedWhite) {
        // Left as it was when the white lies outside the monitor's gamut.
        WhitePointToPeaks(working.adjustedWhite, working.primaries, working.hardwareWhite,
                          working.gammaFactor, working.toneMatch, &working.whiteRgb);
    } else {
        KeepAdjustedWhite(before, &session->workingSettings);
    }
    if (custom) {
        SelectWhiteEntry(session, list, kind);
    }
}

}  // namespace tonalis
