// Message boxes of the applet: the title is always a string resource.
#pragma once

#include <windows.h>

namespace tonalis {

HINSTANCE ModuleInstance();
void SetModuleInstance(HINSTANCE instance);
void ShowErrorMessage(HINSTANCE instance, int messageId, int titleId);
int AskUser(HWND owner, HINSTANCE instance, int messageId, int titleId, UINT style);

}  // namespace tonalis
