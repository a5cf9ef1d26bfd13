// The gamma sliders: a slider position becomes a gamma or a gamma factor, the
// display or the patch follows, and the patterns are repainted when the
// palette changes.
#include "ui/gamma_sliders.h"

#include <commctrl.h>

#include "display/gamma_ramp_access.h"
#include "model/adjusted_white.h"
#include "model/pattern_levels.h"
#include "model/slider_mapping.h"
#include "resources/resource.h"
#include "ui/controls.h"
#include "ui/patterns.h"
#include "ui/window_dpi.h"

namespace tonalis {

namespace {

constexpr int kLastScrollCode = TB_ENDTRACK;

struct GammaSlider {
    int sliderId;
    int channel;
    int patchId;
};

constexpr GammaSlider kGammaSliders[] = {
    {IDC_GAMMA_SLIDER_CENTRE, kGreen, IDC_GAMMA_PATCH_CENTRE},
    {IDC_GAMMA_SLIDER_LEFT, kRed, IDC_GAMMA_PATCH_LEFT},
    {IDC_GAMMA_SLIDER_RIGHT, kBlue, IDC_GAMMA_PATCH_RIGHT},
};

const GammaSlider* FindGammaSlider(int controlId) {
    for (const GammaSlider& slider : kGammaSliders) {
        if (slider.sliderId == controlId) {
            return &slider;
        }
    }
    return nullptr;
}

bool IsPatternControl(HWND window, HWND control) {
    const int ids[] = {IDC_BRIGHTNESS_PATTERN, IDC_GAMMA_PATCH_CENTRE, IDC_GAMMA_PATCH_LEFT,
                       IDC_GAMMA_PATCH_RIGHT};
    for (int id : ids) {
        HWND pattern = Control(window, id);
        if (pattern != nullptr && pattern == control) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool OnGammaSlider(HWND window, SessionContext* session, HWND slider, int code, int position) {
    const GammaSlider* gammaSlider = FindGammaSlider(GetDlgCtrlID(slider));
    if (session == nullptr || gammaSlider == nullptr || code < 0 || code > kLastScrollCode) {
        return false;
    }
    int minimum = 0, maximum = 0;
    GetSliderRange(slider, &minimum, &maximum);
    // Only a thumb drag or release delivers its position; the other codes
    // have already moved the slider.
    if (code != TB_THUMBPOSITION && code != TB_THUMBTRACK) {
        position = SliderPosition(slider);
    }
    position = position < minimum ? minimum : (position > maximum ? maximum : position);
    SetSliderPosition(slider, position, true);

    const bool single = IsChecked(window, IDC_SINGLE_GAMMA);
    MonitorSettings& working = session->workingSettings;
    const int channel = gammaSlider->channel;
    if (working.hasGammaRamp == 1) {
        const MonitorSettings before = working;
        working.gammaFactor[channel] =
            SliderToValue(minimum, maximum, position, kGammaFactorLow, kGammaFactorHigh);
        // The finer points were matched against this half; they start over.
        working.toneMatch[channel] = {};
        if (single) {
            CopyGreenToOthers(working.gammaFactor);
            working.toneMatch[0] = working.toneMatch[2] = {};
        }
        // The peaks follow the native gamma, so that the white stays.
        KeepAdjustedWhite(before, &working);
        // The patch keeps its colours: the display's response changes.
        PreviewWorkingRamp(session);
        return true;
    }
    working.gamma[channel] = position / 100.0;
    if (single) {
        CopyGreenToOthers(working.gamma);
    }
    UpdateGammaCentreColours(session);
    InvalidateControl(window, gammaSlider->patchId, true);
    return true;
}

void RefreshGammaPatches(HWND window, SessionContext* session) {
    if (session == nullptr) {
        return;
    }
    MonitorSettings& working = session->workingSettings;
    if (IsChecked(window, IDC_SINGLE_GAMMA)) {
        const MonitorSettings before = working;
        CopyGreenToOthers(working.hasGammaRamp == 1 ? working.gammaFactor : working.gamma);
        KeepAdjustedWhite(before, &working);
    }
    ShowGammaSettings(window, session);
}

void ShowGammaSettings(HWND window, SessionContext* session) {
    const bool single = IsChecked(window, IDC_SINGLE_GAMMA);
    MonitorSettings& working = session->workingSettings;
    const bool hasTable = working.hasGammaRamp == 1;
    UpdateGammaCentreColours(session);

    int positions[3];
    for (int c = 0; c < 3; ++c) {
        positions[c] =
            hasTable ? ValueToSlider(kGammaFactorSliderMin, kGammaFactorSliderMax,
                                     working.gammaFactor[c], kGammaFactorLow, kGammaFactorHigh)
                     : static_cast<int>(working.gamma[c] * 100.0 + 0.5);
    }
    if (hasTable) {
        PreviewWorkingRamp(session);
    }

    InvalidateControl(window, IDC_GAMMA_PATCH_CENTRE, true);
    SetSliderPosition(Control(window, IDC_GAMMA_SLIDER_CENTRE), positions[kGreen], true);

    const int sideIds[] = {IDC_GAMMA_PATCH_LEFT, IDC_GAMMA_SLIDER_LEFT, IDC_GAMMA_PATCH_RIGHT,
                           IDC_GAMMA_SLIDER_RIGHT};
    for (int id : sideIds) {
        ShowControl(window, id, !single);
    }
    if (!single) {
        SetSliderPosition(Control(window, IDC_GAMMA_SLIDER_LEFT), positions[kRed], true);
        SetSliderPosition(Control(window, IDC_GAMMA_SLIDER_RIGHT), positions[kBlue], true);
        // Their centre colours may have changed too; a window that was
        // already shown is not repainted by being shown again.
        InvalidateControl(window, IDC_GAMMA_PATCH_LEFT, true);
        InvalidateControl(window, IDC_GAMMA_PATCH_RIGHT, true);
    }
}

int GammaPatchCentreEntry(HWND window, int controlId) {
    switch (controlId) {
        case IDC_GAMMA_PATCH_CENTRE:
            return IsChecked(window, IDC_SINGLE_GAMMA) ? kGreyCentreEntry : kGreenCentreEntry;
        case IDC_GAMMA_PATCH_LEFT:
            return kRedCentreEntry;
        case IDC_GAMMA_PATCH_RIGHT:
            return kBlueCentreEntry;
        default:
            return 0;
    }
}

void InvalidatePatternControls(HWND window) {
    InvalidateControl(window, IDC_BRIGHTNESS_PATTERN, false);
    InvalidateControl(window, IDC_GAMMA_PATCH_CENTRE, false);
    if (IsControlShown(window, IDC_GAMMA_PATCH_LEFT)) {
        InvalidateControl(window, IDC_GAMMA_PATCH_LEFT, false);
    }
    if (IsControlShown(window, IDC_GAMMA_PATCH_RIGHT)) {
        InvalidateControl(window, IDC_GAMMA_PATCH_RIGHT, false);
    }
}

void OnPaletteChanged(HWND window, const SessionContext* session, HWND changer) {
    // Our own realisation must not start another round.
    if (session == nullptr || !session->isPaletteDevice || changer == window ||
        IsPatternControl(window, changer)) {
        return;
    }
    InvalidatePatternControls(window);
}

void OnDpiChanged(HWND window, UINT message, LPARAM lParam) {
    if (message == kDpiChanged && lParam != 0) {
        const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window, nullptr, suggested.left, suggested.top,
                     suggested.right - suggested.left, suggested.bottom - suggested.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidatePatternControls(window);
}

}  // namespace tonalis
