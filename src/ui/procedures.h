// The dialog, page and window procedures of the user interface. The TNL ones
// are exported by name from TNP.cpl; the others are reached only from here.
#pragma once

#include <windows.h>

extern "C" {

// Wizard pages.
INT_PTR CALLBACK TNLWelcomeDlg(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TNLCurrentDlg(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TNLMonitorDlg(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TNLPhosphorsDlg(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TNLGammaDlg(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TNLWhiteBalDlg(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TNLWhiteAdjDlg(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TNLFinishFullDlg(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TNLTestDlg(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Auxiliary dialogs.
INT_PTR CALLBACK TNLCustomWhiteDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TNLCustomPhosDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TNLSaveWarnDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
UINT_PTR CALLBACK TNLOpenfileHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The window class "WhPtExp".
LRESULT CALLBACK TNLWhitePtWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // extern "C"

namespace tonalis {

// Page 321, the adjusted white point.
INT_PTR CALLBACK AdjustedWhitePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// Dialog 324, the control panel.
INT_PTR CALLBACK PanelDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Dialog 330, fine-tuning the tone curve.
INT_PTR CALLBACK FineTuneDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tonalis
