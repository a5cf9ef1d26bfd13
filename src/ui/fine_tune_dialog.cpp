// Dialog 330: the tone curve fine-tuned by eye beyond the gamma page's half,
// per channel or as one grey: a quarter and three quarters of the light, the
// darkest step seen on black and the brightest told from white. Opened from
// page 309 and dialog 324; every move reloads the table.
#include <windows.h>

#include <commctrl.h>

#include <cmath>

#include "display/gamma_ramp_access.h"
#include "model/adjusted_white.h"
#include "model/gamma_ramp.h"
#include "model/matched_points.h"
#include "resources/resource.h"
#include "resources/string_ids.h"
#include "ui/controls.h"
#include "ui/fine_tune_patterns.h"
#include "ui/gamma_sliders.h"
#include "ui/page_helpers.h"
#include "ui/procedures.h"

namespace tonalis {

namespace {

enum Step { kQuarter, kThreeQuarters, kBlackStep, kWhiteStep, kStepCount };

struct StepControls {
    int patch;
    int slider;
    double light;     // what the step shows when matched
    double fraction;  // as the matched points name it: 0 and 1 for the ends
};

const StepControls kSteps[kStepCount] = {
    {IDC_FINE_PATCH_QUARTER, IDC_FINE_SLIDER_QUARTER, 0.25, 0.25},
    {IDC_FINE_PATCH_THREE_QUARTERS, IDC_FINE_SLIDER_THREE_QUARTERS, 0.75, 0.75},
    {IDC_FINE_PATCH_BLACK, IDC_FINE_SLIDER_BLACK, kDarkestVisibleLight, 0.0},
    {IDC_FINE_PATCH_WHITE, IDC_FINE_SLIDER_WHITE, kBrightestDistinctLight, 1.0},
};

constexpr int kTopLevel = 255;

// One dialog at a time: what Cancel puts back, and the drive each step
// shows on each channel.
struct FineTuneState {
    MonitorSettings start;
    double drive[3][kStepCount];
    bool single;
};
FineTuneState g_fineTune;

int ShownChannel(HWND dialog) {
    if (g_fineTune.single) {
        return kGreen;
    }
    const int index = SelectedListIndex(Control(dialog, IDC_FINE_CHANNEL));
    return index >= 0 && index < 3 ? index : kRed;
}

double HalfDrive(double gammaFactor) {
    return kTopLevel * std::pow(0.5, 1.0 / (NominalCrtGamma * gammaFactor));
}

// The table's input whose level is nearest the drive: the patches are drawn
// through the table like everything else.
int InputShowing(const uint16_t* run, double drive) {
    int best = 0;
    for (int i = 1; i < kRampSize; ++i) {
        if (std::fabs((run[i] >> 8) - drive) < std::fabs((run[best] >> 8) - drive)) {
            best = i;
        }
    }
    return best;
}

// While the dialog is open the channels peak at full drive, so that white in
// the patterns is the light the fractions are counted in.
void PreviewFullPeaks(SessionContext* session) {
    MonitorSettings& working = session->workingSettings;
    const uint32_t peaks = working.whiteRgb;
    working.whiteRgb = kFullPeaks;
    PreviewWorkingRamp(session);
    working.whiteRgb = peaks;
}

void ShowChannel(HWND dialog) {
    const int c = ShownChannel(dialog);
    for (int s = 0; s < kStepCount; ++s) {
        SetSliderPosition(Control(dialog, kSteps[s].slider),
                          static_cast<int>(g_fineTune.drive[c][s] + 0.5), true);
        InvalidateControl(dialog, kSteps[s].patch, false);
    }
}

bool ApplyDrives(MonitorSettings* working, int c, const double drive[kStepCount]) {
    TonePoint seen[kStepCount + 1];
    for (int s = 0; s < kStepCount; ++s) {
        seen[s] = {kSteps[s].fraction, drive[s]};
    }
    seen[kStepCount] = {0.5, HalfDrive(working->gammaFactor[c])};
    double factor = working->gammaFactor[c];
    ToneMatch match = {};
    if (!SetMatchedPoints(seen, kStepCount + 1, &factor, &match)) {
        return false;
    }
    working->gammaFactor[c] = factor;
    working->toneMatch[c] = match;
    return true;
}

void OnInitDialog(HWND dialog, SessionContext* session) {
    AttachSession(dialog, session);
    MonitorSettings& working = session->workingSettings;
    g_fineTune.start = working;
    for (int c = 0; c < 3; ++c) {
        const ResponseCurve curve = ChannelResponse(working.toneMatch[c], working.gammaFactor[c]);
        for (int s = 0; s < kStepCount; ++s) {
            g_fineTune.drive[c][s] = curve.Drive(kSteps[s].light);
        }
    }
    HWND list = Control(dialog, IDC_FINE_CHANNEL);
    if (g_fineTune.single) {
        AddListStrings(list, session->instance, strings::kFineTuneGrey, strings::kFineTuneGrey);
    } else {
        AddListStrings(list, session->instance, strings::kFineTuneRed, strings::kFineTuneRed + 2);
    }
    SelectListIndex(list, 0);
    for (const StepControls& step : kSteps) {
        HWND slider = Control(dialog, step.slider);
        SetSliderRange(slider, 0, kTopLevel, false);
        SetSliderSteps(slider, 1, 4);
    }
    ShowChannel(dialog);
    PreviewFullPeaks(session);
}

BOOL OnHScroll(HWND dialog, SessionContext* session, HWND slider, int code, int position) {
    const int id = GetDlgCtrlID(slider);
    int s = 0;
    while (s < kStepCount && kSteps[s].slider != id) {
        ++s;
    }
    if (session == nullptr || s == kStepCount) {
        return FALSE;
    }
    if (code != TB_THUMBPOSITION && code != TB_THUMBTRACK) {
        position = SliderPosition(slider);
    }
    const int c = ShownChannel(dialog);
    double drive[kStepCount];
    for (int k = 0; k < kStepCount; ++k) {
        drive[k] = g_fineTune.drive[c][k];
    }
    drive[s] = position;
    MonitorSettings& working = session->workingSettings;
    // A step past its neighbours contradicts them: the slider goes back.
    const int first = g_fineTune.single ? 0 : c;
    const int last = g_fineTune.single ? 2 : c;
    bool applied = true;
    for (int k = first; k <= last && applied; ++k) {
        applied = ApplyDrives(&working, k, drive);
    }
    if (applied) {
        for (int k = first; k <= last; ++k) {
            for (int t = 0; t < kStepCount; ++t) {
                g_fineTune.drive[k][t] = drive[t];
            }
        }
    }
    PreviewFullPeaks(session);
    ShowChannel(dialog);
    return TRUE;
}

COLORREF LevelColour(int level, int channel, bool grey) {
    if (grey) {
        return RGB(level, level, level);
    }
    return RGB(channel == kRed ? level : 0, channel == kGreen ? level : 0,
               channel == kBlue ? level : 0);
}

BOOL OnDrawItem(HWND dialog, const DRAWITEMSTRUCT* item) {
    const SessionContext* session = SessionOf(dialog);
    int s = 0;
    while (s < kStepCount && kSteps[s].patch != static_cast<int>(item->CtlID)) {
        ++s;
    }
    if (session == nullptr || s == kStepCount) {
        return FALSE;
    }
    const int c = ShownChannel(dialog);
    const uint16_t* run = session->workingSettings.ramp.Channel(c);
    // The quarter is black beside the half the gamma page matched; three
    // quarters the half beside full white: two levels in equal measure.
    const int half = InputShowing(run, HalfDrive(session->workingSettings.gammaFactor[c]));
    const int levels[kStepCount][2] = {
        {0, half}, {half, kTopLevel}, {0, 0}, {kTopLevel, kTopLevel}};
    const int centre = InputShowing(run, g_fineTune.drive[c][s]);
    const bool grey = g_fineTune.single;
    DrawFineTunePatch(item->hDC, item->rcItem,
                      {LevelColour(levels[s][0], c, grey), LevelColour(levels[s][1], c, grey),
                       LevelColour(centre, c, grey)});
    return TRUE;
}

void OnClose(HWND dialog, SessionContext* session, int result) {
    if (session != nullptr) {
        MonitorSettings& working = session->workingSettings;
        if (result == IDCANCEL) {
            for (int c = 0; c < 3; ++c) {
                working.toneMatch[c] = g_fineTune.start.toneMatch[c];
                working.gammaFactor[c] = g_fineTune.start.gammaFactor[c];
            }
        } else {
            // The peaks follow the new response, so that the white stays.
            KeepAdjustedWhite(g_fineTune.start, &working);
        }
        PreviewWorkingRamp(session);
    }
    EndDialog(dialog, result);
}

}  // namespace

void OpenFineTuning(HWND window, SessionContext* session) {
    if (session == nullptr || session->workingSettings.hasGammaRamp != 1) {
        return;
    }
    // The dialog's owner is the sheet frame, not the page: ask the page now.
    g_fineTune.single = IsChecked(window, IDC_SINGLE_GAMMA);
    DialogBoxParamA(session->instance, MAKEINTRESOURCEA(IDD_FINE_TUNE), window, FineTuneDialogProc,
                    reinterpret_cast<LPARAM>(session));
    RefreshGammaPatches(window, session);
}

INT_PTR CALLBACK FineTuneDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(dialog, reinterpret_cast<SessionContext*>(lParam));
            return TRUE;
        case WM_DRAWITEM:
            return OnDrawItem(dialog, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        case WM_HSCROLL:
            return OnHScroll(dialog, SessionOf(dialog), reinterpret_cast<HWND>(lParam),
                             LOWORD(wParam), HIWORD(wParam));
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_FINE_CHANNEL && HIWORD(wParam) == CBN_SELCHANGE) {
                ShowChannel(dialog);
            } else if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                OnClose(dialog, SessionOf(dialog), LOWORD(wParam));
            }
            return FALSE;
        case WM_DESTROY:
            DetachSession(dialog);
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace tonalis
