// Timings of the user interface under Wine, printed as medians and never
// judged: a gamma slider move with a lookup table, which reaches the
// display's ramp, and a gamma patch drawn off screen against one FillRect.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "model/slider_mapping.h"
#include "resources/resource.h"
#include "session/session_context.h"
#include "ui/controls.h"
#include "ui/gamma_sliders.h"
#include "ui/pattern_palette.h"
#include "ui/patterns.h"

namespace tonalis {
namespace {

constexpr int kRuns = 301;
constexpr int kWarmUpRuns = 50;

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return value;
    }();
    return (to.QuadPart - from.QuadPart) * 1000.0 / frequency.QuadPart;
}

// The median of kRuns timed calls, after a few untimed ones.
double MedianMilliseconds(const std::function<void(int)>& work) {
    for (int i = 0; i < kWarmUpRuns; ++i) {
        work(i);
    }
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        work(i);
        QueryPerformanceCounter(&end);
        times.push_back(Milliseconds(start, end));
    }
    std::nth_element(times.begin(), times.begin() + kRuns / 2, times.end());
    return times[kRuns / 2];
}

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        AttachSession(page, reinterpret_cast<SessionContext*>(lParam));
        return TRUE;
    }
    if (message == WM_DESTROY) {
        DetachSession(page);
    }
    return FALSE;
}

void BenchSlider(SessionContext* session, HWND page) {
    HDC screen = GetDC(nullptr);
    GammaRamp saved;
    if (!GetDeviceGammaRamp(screen, saved.entries)) {
        std::printf(
            "slider move with a lookup table: skipped, this display has no ramp "
            "(run on Xorg's dummy driver)\n");
        ReleaseDC(nullptr, screen);
        return;
    }
    HWND slider = Control(page, IDC_GAMMA_SLIDER_CENTRE);
    const double median = MedianMilliseconds([&](int i) {
        // Back and forth over the whole range, as a drag does.
        OnGammaSlider(page, session, slider, TB_THUMBTRACK, i % 2 == 0 ? i % 200 : 200 - i % 200);
    });
    // The display's own part: loading a ramp that is ready.
    GammaRamp moved = session->workingSettings.ramp;
    const double load = MedianMilliseconds(
        [&](int i) { SetDeviceGammaRamp(screen, i % 2 == 0 ? saved.entries : moved.entries); });
    SetDeviceGammaRamp(screen, saved.entries);
    ReleaseDC(nullptr, screen);
    std::printf(
        "slider move with a lookup table (OnGammaSlider to the display's ramp, read back): "
        "median %.3f ms (goal <= 2 ms); SetDeviceGammaRamp alone %.3f ms\n",
        median, load);
}

void BenchPatch(SessionContext* session, HWND window) {
    HDC dc = GetDC(window);
    const RECT patch = {0, 0, 120, 90};
    const double drawn = MedianMilliseconds([&](int) {
        DrawGammaPatch(dc, patch, session->patternPalette, kGreenCentreEntry, false);
        GdiFlush();
    });
    HBRUSH brush = CreateSolidBrush(RGB(0, 128, 0));
    const double filled = MedianMilliseconds([&](int) {
        FillRect(dc, &patch, brush);
        GdiFlush();
    });
    DeleteObject(brush);
    ReleaseDC(window, dc);
    std::printf(
        "gamma patch 120 x 90 drawn off screen and copied: median %.3f ms "
        "(goal <= 0.5 ms)\n",
        drawn);
    std::printf("one FillRect of 120 x 90: median %.4f ms; the patch takes %.1f times as long\n",
                filled, filled > 0 ? drawn / filled : 0.0);
}

}  // namespace
}  // namespace tonalis

int main() {
    using namespace tonalis;
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);

    auto* session = static_cast<SessionContext*>(std::calloc(1, sizeof(SessionContext)));
    session->instance = GetModuleHandleA(nullptr);
    session->monitorCount = 1;
    InitPatternPalette(&session->patternPalette);
    MonitorSettings& working = session->workingSettings;
    working.hasGammaRamp = 1;
    working.whiteRgb = kFullPeaks;
    for (int c = 0; c < 3; ++c) {
        working.gamma[c] = 2.2;
        working.gammaFactor[c] = 1.0;
    }

    // Shown without activation: Wine would wait for a window manager.
    HWND frame = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 700, 500, nullptr, nullptr,
                                 nullptr, nullptr);
    ShowWindow(frame, SW_SHOWNA);
    session->frameWindow = frame;
    HWND page = CreateDialogParamA(session->instance, MAKEINTRESOURCEA(IDD_GAMMA), frame, PageProc,
                                   reinterpret_cast<LPARAM>(session));
    if (frame == nullptr || page == nullptr) {
        std::printf("ui_bench: the gamma page could not be made\n");
        return 1;
    }
    SetChecked(page, IDC_SINGLE_GAMMA, true);
    SetSliderRange(Control(page, IDC_GAMMA_SLIDER_CENTRE), kGammaFactorSliderMin,
                   kGammaFactorSliderMax, false);

    // Wine's own start-up processes are still busy for a moment.
    Sleep(1000);
    BenchSlider(session, page);
    BenchPatch(session, frame);

    DestroyWindow(page);
    DestroyWindow(frame);
    std::free(session);
    return 0;
}
