// The controllers shared by the wizard pages and the control-panel dialog:
// description, profile loading, phosphor list, gamma controls, white point
// lists and following the window to another monitor.
#pragma once

#include <windows.h>

#include "session/session_context.h"

namespace tonalis {

enum WhiteListKind { kHardwareWhite = 1, kAdjustedWhite = 2 };

// Puts a Unicode edit in the place of the template's ANSI 1212, so that the
// field keeps every character typed or pasted (an ANSI edit turns what its
// code page lacks into '?'). Called once, before the field is first shown.
void MakeDescriptionFieldWide(HWND window);
// 1212 = workingSettings.description, at most kDescriptionUnits units.
void ShowDescription(HWND window, SessionContext* session);
// workingSettings.description = the text of 1212, in UTF-8.
void CopyDescription(HWND window, SessionContext* session);
// Removes the control characters (a pasted line break, a tab) from 1212,
// with a beep; every other character stays.
void FilterDescriptionText(HWND window);
// True when a profile was loaded into the working settings.
bool LoadProfileWithPrompt(HWND window, SessionContext* session);

void FillPhosphorList(HWND window, SessionContext* session);
void SelectPhosphorEntry(SessionContext* session, HWND list);
void ApplyPhosphorEntry(HWND window, SessionContext* session, HWND list);

void InitGammaControls(HWND window, SessionContext* session);
void ShowTargetGamma(HWND window, SessionContext* session, HWND list, bool select);
void ApplyGammaPreset(HWND window, SessionContext* session, HWND list);
// Posted to the page or the panel when 1603 has lost the focus.
constexpr UINT kGammaFieldLeft = WM_APP + 18;
// Before the user goes on (OK, Wizard, Next, Back): a text the user typed is
// applied to the three channels when it is a valid gamma; otherwise the error
// is shown, owned by the window, the field gets the focus back showing the
// gamma in force, selected, and the result is false. A field that shows the stored gamma,
// untouched or applied as typed, changes nothing.
bool LeaveGammaField(HWND window, SessionContext* session);
// The edit's notifications: each complete, valid value typed is applied and
// previewed at once (EN_CHANGE); leaving the field (EN_KILLFOCUS) posts
// kGammaFieldLeft to the window.
void OnGammaEditNotification(HWND window, SessionContext* session, int code);
// kGammaFieldLeft: the same check for a text typed since the last one, unless
// the focus is back in the field, the window is no longer shown or the user
// is on the way to Cancel.
void OnGammaFieldLeft(HWND window, SessionContext* session);

// Button IDC_FINE_TUNE of page 309 and dialog 324: runs dialog 330 over the
// window, then shows the gamma controls as it left them.
void OpenFineTuning(HWND window, SessionContext* session);

void FillWhiteList(HWND window, SessionContext* session, int listId, WhiteListKind kind);
// List 1202 where the lookup table can be set; else 1202 and its label 1218
// are hidden.
void FillAdjustedWhiteList(HWND window, SessionContext* session);
void SelectWhiteEntry(SessionContext* session, HWND list, WhiteListKind kind);
void ApplyWhiteEntry(HWND window, SessionContext* session, HWND list, WhiteListKind kind);

// True when the frame window is now on another monitor and the session moved.
bool SyncToWindowMonitor(SessionContext* session);

}  // namespace tonalis
