// The gamma controls shared by page 309 and dialog 324: the single-gamma check
// box, the preset list 1602, the typed target gamma 1603 and the three sliders.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include "display/gamma_ramp_access.h"
#include "model/matching.h"
#include "model/presets.h"
#include "model/slider_mapping.h"
#include "resources/resource.h"
#include "resources/string_ids.h"
#include "session/messages.h"
#include "ui/controls.h"
#include "ui/custom_values.h"
#include "ui/gamma_sliders.h"
#include "ui/page_helpers.h"

namespace tonalis {

namespace {

constexpr int kCustomGammaEntry = kGammaPresetCount;
constexpr int kGammaTextLimit = 5;

// Without a lookup table the sliders show the gamma itself, 0.75 to 3.75 in
// hundredths; the typed gamma is kept within the same range.
constexpr double kLowestGamma = 0.75;
constexpr double kHighestGamma = 3.75;
constexpr int kGammaSliderMin = 75;
constexpr int kGammaSliderMax = 375;
constexpr int kSliderLineSize = 1;
constexpr int kSliderPageSize = 5;

struct SliderChannel {
    int sliderId;
    int channel;
};

// The centre slider first: it stands for the green channel and for all three.
constexpr SliderChannel kSliders[3] = {
    {IDC_GAMMA_SLIDER_CENTRE, kGreen},
    {IDC_GAMMA_SLIDER_LEFT, kRed},
    {IDC_GAMMA_SLIDER_RIGHT, kBlue},
};

// Fine-tuning works through the table, so its button goes with these.
constexpr int kTargetGammaControls[] = {IDC_CHOOSE_GAMMA_LABEL, IDC_GAMMA_LABEL, IDC_GAMMA_LIST,
                                        IDC_GAMMA_EDIT, IDC_FINE_TUNE};

int GammaEntry(double gamma) {
    for (int i = 0; i < kCustomGammaEntry; ++i) {
        if (GammaMatchesPreset(gamma, i)) {
            return i;
        }
    }
    return kCustomGammaEntry;
}

void SetAllGammas(MonitorSettings* settings, double gamma) {
    settings->gamma[kGreen] = gamma;
    settings->gamma[kBlue] = settings->gamma[kGreen];
    settings->gamma[kRed] = settings->gamma[kBlue];
}

HWND GammaEdit(HWND window) {
    return Control(window, IDC_GAMMA_EDIT);
}

// The edit's own flag tells what the user typed from what was shown: the text
// set from here is unmodified, and so is a typed value once it was applied.
bool IsGammaTyped(HWND window) {
    return IsControlShown(window, IDC_GAMMA_EDIT) &&
           SendMessageA(GammaEdit(window), EM_GETMODIFY, 0, 0) != FALSE;
}

// The typed text as a gamma in range; a text that is not one stays marked as
// typed, so that leaving the field checks it.
bool ReadTypedGamma(HWND window, double* value) {
    HWND edit = GammaEdit(window);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    // A comma turned into a full stop is written back, which moves the caret.
    const bool valid = ReadNumberField(window, IDC_GAMMA_EDIT, value) && *value >= kLowestGamma &&
                       *value <= kHighestGamma;
    SendMessageA(edit, EM_SETSEL, start, end);
    SendMessageA(edit, EM_SETMODIFY, valid ? FALSE : TRUE, 0);
    return valid;
}

void ApplyGamma(HWND window, SessionContext* session, double value) {
    MonitorSettings& working = session->workingSettings;
    // A value within the tolerance keeps the stored one, so that 2.205 typed
    // over 2.2 still shows the preset.
    SetAllGammas(&working,
                 GammaMatches(working.gamma[kGreen], value) ? working.gamma[kGreen] : value);
    SelectListIndex(Control(window, IDC_GAMMA_LIST), GammaEntry(working.gamma[kGreen]));
    // Recomputes the ramp and loads it into the display.
    RefreshGammaPatches(window, session);
}

// Each complete, valid value is shown at once; an incomplete or wrong one
// waits for the user to leave the field.
void PreviewTypedGamma(HWND window, SessionContext* session) {
    double value = 0.0;
    if (IsGammaTyped(window) && ReadTypedGamma(window, &value)) {
        ApplyGamma(window, session, value);
    }
}

// The one check of the typed gamma. Leaving the field checks a text typed
// since the last check; going on also checks one that is not the stored
// gamma. A field that shows the stored gamma changes nothing.
bool CheckGammaField(HWND window, SessionContext* session, bool goingOn) {
    if (!IsControlShown(window, IDC_GAMMA_EDIT)) {
        return true;
    }
    const bool typed = IsGammaTyped(window);
    if (!typed && !goingOn) {
        return true;
    }
    double value = 0.0;
    if (ReadTypedGamma(window, &value)) {
        if (typed || !GammaMatches(session->workingSettings.gamma[kGreen], value)) {
            ApplyGamma(window, session, value);
        }
        return true;
    }
    HWND edit = GammaEdit(window);
    // Refused once, the text is not checked again by the focus moves of the
    // error's own.
    SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    ShowErrorMessage(window, session->instance, strings::kEnterGammaInRange, strings::kProductName);
    // Then the field shows the gamma the display shows, ready to be typed over.
    ShowTargetGamma(window, session, Control(window, IDC_GAMMA_LIST), false);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SetFocus(edit);
    return false;
}

}  // namespace

void InitGammaControls(HWND window, SessionContext* session) {
    MonitorSettings& working = session->workingSettings;
    SetChecked(window, IDC_SINGLE_GAMMA, ChannelsMatch(working));

    bool hasTable = working.hasGammaRamp == 1;
    int minimum = kGammaSliderMin;
    int maximum = kGammaSliderMax;
    int positions[3];
    if (hasTable) {
        HWND list = Control(window, IDC_GAMMA_LIST);
        ClearList(list);
        AddListStrings(list, session->instance, strings::kFirstGammaPreset, strings::kCustomGamma);
        ShowTargetGamma(window, session, list, true);
        minimum = kGammaFactorSliderMin;
        maximum = kGammaFactorSliderMax;
        for (int c = 0; c < 3; ++c) {
            positions[c] = ValueToSlider(minimum, maximum, working.gammaFactor[c], kGammaFactorLow,
                                         kGammaFactorHigh);
        }
        PreviewWorkingRamp(session);
    } else {
        for (int c = 0; c < 3; ++c) {
            positions[c] = static_cast<int>(working.gamma[c] * 100.0 + 0.5);
        }
    }
    for (int id : kTargetGammaControls) {
        ShowControl(window, id, hasTable);
    }

    for (const SliderChannel& s : kSliders) {
        HWND slider = Control(window, s.sliderId);
        SetSliderRange(slider, minimum, maximum, false);
        SetSliderSteps(slider, kSliderLineSize, kSliderPageSize);
        SetSliderPosition(slider, positions[s.channel], true);
    }
    // Showing the settings must not make channels that only match equal.
    ShowGammaSettings(window, session);
}

void ShowTargetGamma(HWND window, SessionContext* session, HWND list, bool select) {
    double gamma = session->workingSettings.gamma[kGreen];
    if (select) {
        SelectListIndex(list, GammaEntry(gamma));
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", gamma);
    SendMessageA(Control(window, IDC_GAMMA_EDIT), EM_LIMITTEXT, kGammaTextLimit, 0);
    SetControlText(window, IDC_GAMMA_EDIT, text);
}

void ApplyGammaPreset(HWND window, SessionContext* session, HWND list) {
    int entry = SelectedListIndex(list);
    if (entry >= 0 && entry < kCustomGammaEntry) {
        SetAllGammas(&session->workingSettings, GetGammaPreset(entry));
    }
    ShowTargetGamma(window, session, list, false);
    RefreshGammaPatches(window, session);
}

bool LeaveGammaField(HWND window, SessionContext* session) {
    return CheckGammaField(window, session, true);
}

void OnGammaEditNotification(HWND window, SessionContext* session, int code) {
    if (code == EN_CHANGE) {
        PreviewTypedGamma(window, session);
    } else if (code == EN_KILLFOCUS) {
        // Checked once the focus has settled: a window that is closing, with
        // Cancel or Esc, is gone by then and the Cancel stands.
        PostMessageA(window, kGammaFieldLeft, 0, 0);
    }
}

void OnGammaFieldLeft(HWND window, SessionContext* session) {
    // Not once the user is back in the field or the page is no longer shown;
    // nor on the way to Cancel, which must work whatever the field holds.
    HWND edit = GammaEdit(window);
    HWND focus = GetFocus();
    if (session == nullptr || edit == nullptr || focus == edit || !IsWindowVisible(window) ||
        (focus != nullptr && focus == GetDlgItem(GetAncestor(window, GA_ROOT), IDCANCEL))) {
        return;
    }
    CheckGammaField(window, session, false);
}

}  // namespace tonalis
