// The gamma sliders and patches of page 309 and dialog 324, and the repaint
// rules for the windows that hold patterns.
#pragma once

#include <windows.h>

#include "session/session_context.h"

namespace tonalis {

// A WM_HSCROLL from a slider: true when it was one of the three gamma sliders.
bool OnGammaSlider(HWND window, SessionContext* session, HWND slider, int code, int position);
// With 1200 checked the centre channel's value goes to the others first.
void RefreshGammaPatches(HWND window, SessionContext* session);
// Sliders, patches and the previewed ramp as the working settings hold them,
// changing none of them.
void ShowGammaSettings(HWND window, SessionContext* session);

// The pattern control of a draw request for a gamma patch: its centre entry
// by the control id and check box 1200; 0 for any other control.
int GammaPatchCentreEntry(HWND window, int controlId);

// WM_QUERYNEWPALETTE: invalidates 1409, 1605, and 1607 and 1609 when visible.
void InvalidatePatternControls(HWND window);
// WM_PALETTECHANGED: the same, on a palette device, unless the changer is the
// window itself or one of its pattern controls; nothing without a session.
void OnPaletteChanged(HWND window, const SessionContext* session, HWND changer);

// kDpiChanged or kDpiChangedAfterParent (ui/window_dpi.h): the window is now
// on a monitor of another scale. A top-level window takes the rectangle the
// system suggests, and the patterns are drawn again at their controls' new
// size. The dialog manager lays the controls out.
void OnDpiChanged(HWND window, UINT message, LPARAM lParam);

}  // namespace tonalis
