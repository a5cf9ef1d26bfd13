// The controllers shared by the wizard pages and the control-panel dialog:
// description, profile loading, phosphor list, gamma controls, white point
// lists and following the window to another monitor.
#pragma once

#include <windows.h>

#include "session/session_context.h"

namespace tonalis {

enum WhiteListKind { kHardwareWhite = 1, kAdjustedWhite = 2 };

void ShowDescription(HWND window, SessionContext* session);
void FilterDescriptionText(HWND window);
// True when a profile was loaded into the working settings.
bool LoadProfileWithPrompt(HWND window, SessionContext* session);

void FillPhosphorList(HWND window, SessionContext* session);
void SelectPhosphorEntry(SessionContext* session, HWND list);
void ApplyPhosphorEntry(HWND window, SessionContext* session, HWND list);

void InitGammaControls(HWND window, SessionContext* session);
void ShowTargetGamma(HWND window, SessionContext* session, HWND list, bool select);
void ApplyGammaPreset(HWND window, SessionContext* session, HWND list);
void ApplyTypedGamma(HWND window, SessionContext* session);
// Text change (not while empty) or focus loss of 1603, as the pages and the
// panel handle it: the selection is kept around ApplyTypedGamma, then the
// ramp is previewed.
void OnGammaTextChanged(HWND window, SessionContext* session);
// The edit's EN_CHANGE or EN_KILLFOCUS: OnGammaTextChanged, except for a
// change that left the field empty.
void OnGammaEditNotification(HWND window, SessionContext* session, int code);

void FillWhiteList(HWND window, SessionContext* session, int listId, WhiteListKind kind);
// List 1202 where the lookup table can be set; else 1202 and its label 1218
// are hidden.
void FillAdjustedWhiteList(HWND window, SessionContext* session);
void SelectWhiteEntry(SessionContext* session, HWND list, WhiteListKind kind);
void ApplyWhiteEntry(HWND window, SessionContext* session, HWND list, WhiteListKind kind);
// After the hardware white or the primaries changed from those of before: new
// peaks, so that the monitor shows the same adjusted white. A white it can no
// longer show keeps the peaks and becomes the white they now give.
void KeepAdjustedWhite(SessionContext* session, const MonitorSettings& before);

// True when the frame window is now on another monitor and the session moved.
bool SyncToWindowMonitor(SessionContext* session);

}  // namespace tonalis
