// Dialog 326: the monitor turned black with three squares of neighbouring
// whites; side squares step warmer or cooler, the centre one is the choice.
#include <windows.h>

#include "model/white_swatches.h"
#include "resources/resource.h"
#include "ui/controls.h"
#include "ui/pattern_palette.h"
#include "ui/patterns.h"
#include "ui/white_point_measurement.h"
#include "ui/window_dpi.h"

namespace tonalis {

namespace {

constexpr INT_PTR kChosen = 1;
constexpr INT_PTR kCancelled = 2;

constexpr int kLeftSquareEntry = 10;
constexpr int kCentreSquareEntry = 11;
constexpr int kRightSquareEntry = 12;

constexpr int kSquareSize = 100;
constexpr int kSquareTop = 150;
constexpr int kSquareSpacing = 130;  // a 30-pixel gap between squares
constexpr int kSquaresWidth = 360;
constexpr DWORD kFlashMilliseconds = 30;

// Only one screen is open at a time; it keeps the session here rather than in
// a window property, with the procedures its side squares had before.
SessionContext* g_session = nullptr;
WNDPROC g_previousLeftProc = nullptr;
WNDPROC g_previousRightProc = nullptr;

void SetSwatch(PatternPalette* palette, int entry, const WhiteSwatchTable& table, int step) {
    const SwatchColour colour = SquareSwatch(table, step);
    SetPatternColour(palette, entry, colour.red, colour.green, colour.blue);
}

LRESULT CALLBACK SquareFilter(HWND square, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool left = GetDlgCtrlID(square) == IDC_SQUARE_LEFT;
    switch (message) {
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_KEYDOWN:
            if (wParam == VK_LEFT || wParam == VK_RIGHT) {
                HWND screen = GetParent(square);
                const int command = wParam == VK_LEFT ? IDC_SQUARE_LEFT : IDC_SQUARE_RIGHT;
                PostMessageA(screen, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(screen, command)));
                return 0;
            }
            break;
        default:
            break;
    }
    return CallWindowProcA(left ? g_previousLeftProc : g_previousRightProc, square, message, wParam,
                           lParam);
}

WNDPROC Subclass(HWND screen, int id) {
    HWND square = GetDlgItem(screen, id);
    if (square == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(square, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SquareFilter)));
}

void Unsubclass(HWND screen, int id, WNDPROC previous) {
    HWND square = GetDlgItem(screen, id);
    if (square != nullptr && previous != nullptr) {
        SetWindowLongPtrA(square, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    }
}

// The geometry holds at 96 DPI; on a scaled monitor the squares keep their
// size on the screen, in device pixels of the DPI-aware window. On a desktop
// of mixed scales that is the scale of the monitor the screen covers.
void PlaceSquares(HWND screen, int monitorWidth) {
    const int dpi = WindowDpi(screen);
    auto scaled = [dpi](int pixels) { return MulDiv(pixels, dpi, kBaseDpi); };
    const int left = (monitorWidth - scaled(kSquaresWidth)) / 2;
    const int ids[] = {IDC_SQUARE_LEFT, IDC_SQUARE_CENTRE, IDC_SQUARE_RIGHT};
    for (int i = 0; i < 3; ++i) {
        SetWindowPos(GetDlgItem(screen, ids[i]), nullptr, left + scaled(i * kSquareSpacing),
                     scaled(kSquareTop), scaled(kSquareSize), scaled(kSquareSize),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

INT_PTR OnInitDialog(HWND screen, LPARAM parameter) {
    g_session = reinterpret_cast<SessionContext*>(parameter);
    int monitor = g_session->currentMonitor;
    if (monitor < 0 || monitor >= kMaxMonitors) {
        monitor = 0;
    }
    const MonitorRect& rect = g_session->monitors[monitor].monitorRect;
    const int width = rect.right - rect.left;
    SetWindowPos(screen, nullptr, rect.left, rect.top, width, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    PlaceSquares(screen, width);
    g_previousLeftProc = Subclass(screen, IDC_SQUARE_LEFT);
    g_previousRightProc = Subclass(screen, IDC_SQUARE_RIGHT);
    return TRUE;
}

INT_PTR OnEraseBackground(HWND screen, HDC dc) {
    RECT client;
    GetClientRect(screen, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    return SetDialogResult(screen, TRUE);
}

INT_PTR OnDrawItem(HWND screen, const DRAWITEMSTRUCT* item) {
    int entry = 0;
    switch (item->CtlID) {
        case IDC_SQUARE_LEFT:
            entry = kLeftSquareEntry;
            break;
        case IDC_SQUARE_CENTRE:
            entry = kCentreSquareEntry;
            break;
        case IDC_SQUARE_RIGHT:
            entry = kRightSquareEntry;
            break;
        default:
            return FALSE;
    }
    if (g_session == nullptr) {
        return FALSE;
    }
    DrawPaletteSquare(item->hDC, item->rcItem, g_session->patternPalette, entry);
    return SetDialogResult(screen, TRUE);
}

void OnStep(HWND screen, int squareId, int change) {
    const int step = g_session->whitePointStep + change;
    if (step >= 0 && step < kWhiteLadderSteps) {
        g_session->whitePointStep = step;
    }
    SetWhiteSwatches(&g_session->patternPalette, ProcessWhiteSwatchTable(),
                     g_session->whitePointStep);
    // The square flashes even at the end of the ladder, to show the click.
    FlashSquare(GetDlgItem(screen, squareId));
    InvalidateControl(screen, IDC_SQUARE_LEFT, false);
    InvalidateControl(screen, IDC_SQUARE_CENTRE, false);
    InvalidateControl(screen, IDC_SQUARE_RIGHT, false);
}

INT_PTR OnCommand(HWND screen, WPARAM wParam) {
    // Owner-drawn buttons report a quick second click as a double click.
    const int code = HIWORD(wParam);
    if (code != BN_CLICKED && code != BN_DOUBLECLICKED) {
        return FALSE;
    }
    switch (LOWORD(wParam)) {
        case IDOK:
        case IDC_SQUARE_CENTRE:
            EndDialog(screen, kChosen);
            return TRUE;
        case IDCANCEL:
            EndDialog(screen, kCancelled);
            return TRUE;
        case IDC_SQUARE_LEFT:
            OnStep(screen, IDC_SQUARE_LEFT, -1);
            return TRUE;
        case IDC_SQUARE_RIGHT:
            OnStep(screen, IDC_SQUARE_RIGHT, +1);
            return TRUE;
        default:
            return FALSE;
    }
}

void OnDestroy(HWND screen) {
    Unsubclass(screen, IDC_SQUARE_LEFT, g_previousLeftProc);
    Unsubclass(screen, IDC_SQUARE_RIGHT, g_previousRightProc);
    g_previousLeftProc = nullptr;
    g_previousRightProc = nullptr;
}

INT_PTR CALLBACK WhitePointScreenProc(HWND screen, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog(screen, lParam);
        case WM_ERASEBKGND:
            return OnEraseBackground(screen, reinterpret_cast<HDC>(wParam));
        case WM_DRAWITEM:
            return OnDrawItem(screen, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        case WM_COMMAND:
            return OnCommand(screen, wParam);
        case WM_DESTROY:
            OnDestroy(screen);
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

void SetWhiteSwatches(PatternPalette* palette, const WhiteSwatchTable& table, int step) {
    SetSwatch(palette, kLeftSquareEntry, table, step - 1);
    SetSwatch(palette, kCentreSquareEntry, table, step);
    SetSwatch(palette, kRightSquareEntry, table, step + 1);
}

void FlashSquare(HWND square) {
    // Each change is painted at once; the waits block the screen for 90 ms.
    HWND screen = GetParent(square);
    // Hiding the square takes its focus away; the arrow keys need it back.
    const bool focused = GetFocus() == square;
    for (int i = 0; i < 2; ++i) {
        if (i > 0) {
            Sleep(kFlashMilliseconds);
        }
        ShowWindow(square, SW_HIDE);
        UpdateWindow(screen);
        Sleep(kFlashMilliseconds);
        ShowWindow(square, SW_SHOW);
        UpdateWindow(square);
    }
    if (focused) {
        SetFocus(square);
    }
}

INT_PTR MeasureWhitePoint(HWND owner, SessionContext* session) {
    MonitorSettings& working = session->workingSettings;
    Chromaticity primaries[3] = {working.primaries[0], working.primaries[1], working.primaries[2]};
    // A step that cannot be computed keeps its earlier colour; the screen
    // runs all the same.
    BuildWhiteSwatchTable(primaries, working.gamma, &ProcessWhiteSwatchTable());
    session->whitePointStep = FindWhiteStep(working.hardwareWhite);
    SetWhiteSwatches(&session->patternPalette, ProcessWhiteSwatchTable(), session->whitePointStep);

    const INT_PTR result =
        DialogBoxParamA(session->instance, MAKEINTRESOURCEA(IDD_WHITE_SCREEN), owner,
                        WhitePointScreenProc, reinterpret_cast<LPARAM>(session));
    g_session = nullptr;
    // Cancelled, or -1 when the screen could not be shown.
    if (result != kChosen) {
        return result;
    }
    working.hardwareWhite = WhiteLadder[session->whitePointStep];
    return kChosen;
}

}  // namespace tonalis
