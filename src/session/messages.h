// Message boxes of the applet: the title is always a string resource.
#pragma once

#include <windows.h>

namespace tonalis {

HINSTANCE ModuleInstance();
void SetModuleInstance(HINSTANCE instance);
// Without a window to belong to, as at start-up, before any window of the run.
void ShowErrorMessage(HINSTANCE instance, int messageId, int titleId);
// Modal to the top-level window of owner: that window is disabled until the
// message is dismissed, so no second one can be raised over it.
void ShowErrorMessage(HWND owner, HINSTANCE instance, int messageId, int titleId);
// A text made up by the caller, longer than a string resource may be.
void ShowErrorText(HWND owner, const char* text, int titleId);
int AskUser(HWND owner, HINSTANCE instance, int messageId, int titleId, UINT style);

}  // namespace tonalis
