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

// Set while the field is written from here and while the error about it is on
// screen: the focus moves that the error causes must not validate the field
// again.
bool g_gammaFieldGuard = false;

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

constexpr int kTargetGammaControls[] = {IDC_CHOOSE_GAMMA_LABEL, IDC_GAMMA_LABEL, IDC_GAMMA_LIST,
                                        IDC_GAMMA_EDIT};

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

// False when the text was refused: the error has been shown, owned by the
// window, and the field has the focus with its text selected.
bool ApplyGammaText(HWND window, SessionContext* session) {
    HWND edit = GammaEdit(window);
    // Without a settable table the field is hidden and holds nothing to apply.
    if (g_gammaFieldGuard || !IsControlShown(window, IDC_GAMMA_EDIT)) {
        return true;
    }
    double value = 0.0;
    g_gammaFieldGuard = true;  // a comma turned into a full stop is written back
    bool isNumber = ReadNumberField(window, IDC_GAMMA_EDIT, &value);
    g_gammaFieldGuard = false;

    // Left unchanged, the field is not checked again when it is left.
    SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
    if (!isNumber || !(value >= kLowestGamma && value <= kHighestGamma)) {
        SendMessageA(edit, EM_SETSEL, 0, -1);
        g_gammaFieldGuard = true;
        ShowErrorMessage(window, session->instance, strings::kEnterGammaInRange,
                         strings::kProductName);
        g_gammaFieldGuard = false;
        SetFocus(edit);
        return false;
    }

    MonitorSettings& working = session->workingSettings;
    // A value within the tolerance keeps the stored one, so that 2.205 typed
    // over 2.2 still shows the preset.
    SetAllGammas(&working,
                 GammaMatches(working.gamma[kGreen], value) ? working.gamma[kGreen] : value);
    SelectListIndex(Control(window, IDC_GAMMA_LIST), GammaEntry(working.gamma[kGreen]));
    RefreshGammaPatches(window, session);
    return true;
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

bool ApplyTypedGamma(HWND window, SessionContext* session) {
    HWND edit = GammaEdit(window);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    // A refused text stays selected for the user to retype.
    bool accepted = ApplyGammaText(window, session);
    if (accepted) {
        SendMessageA(edit, EM_SETSEL, start, end);
    }
    PreviewWorkingRamp(session);
    return accepted;
}

void OnGammaEditNotification(HWND window, SessionContext*, int code) {
    // Checked once the focus has settled: a window that is closing, with Cancel
    // or Esc, is gone by then and the Cancel stands.
    if (code == EN_KILLFOCUS && !g_gammaFieldGuard) {
        PostMessageA(window, kGammaFieldLeft, 0, 0);
    }
}

void OnGammaFieldLeft(HWND window, SessionContext* session) {
    // Not while the error is up, nor for a text already checked, nor once the
    // user is back in the field or the page is no longer shown; nor on the way
    // to Cancel, which must work whatever the field holds.
    HWND edit = GammaEdit(window);
    HWND focus = GetFocus();
    if (session == nullptr || g_gammaFieldGuard || edit == nullptr || focus == edit ||
        SendMessageA(edit, EM_GETMODIFY, 0, 0) == FALSE || !IsWindowVisible(window) ||
        (focus != nullptr && focus == GetDlgItem(GetAncestor(window, GA_ROOT), IDCANCEL))) {
        return;
    }
    ApplyTypedGamma(window, session);
}

}  // namespace tonalis
