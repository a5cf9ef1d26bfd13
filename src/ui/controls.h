// The thin control layer that the page controllers are written against: text,
// combo lists, sliders, check boxes, visibility, and the session property.
#pragma once

#include <windows.h>

#include "session/session_context.h"

namespace tonalis {

// The session pointer kept in the window property "TNLSaveWinProp".
void AttachSession(HWND window, SessionContext* session);
SessionContext* SessionOf(HWND window);
void DetachSession(HWND window);

HWND Control(HWND window, int id);
// Replaces the control, made by an ANSI dialog template, with a Unicode
// window of the same class, style, place, font, id and tab order, and returns
// it; a Unicode control stays as it is.
HWND MakeControlWide(HWND window, int id);

void SetControlText(HWND window, int id, const char* text);
// Copies at most size - 1 bytes and terminates; returns the length copied.
int GetControlText(HWND window, int id, char* text, int size);

void ClearList(HWND list);
void AddListString(HWND list, const char* text);
// Adds the string resources first..last in order, each read into a 40-byte buffer.
void AddListStrings(HWND list, HINSTANCE instance, int first, int last);
int SelectedListIndex(HWND list);  // CB_ERR (-1) when nothing is selected
void SelectListIndex(HWND list, int index);

void SetSliderRange(HWND slider, int minimum, int maximum, bool redraw);
void GetSliderRange(HWND slider, int* minimum, int* maximum);
void SetSliderSteps(HWND slider, int lineSize, int pageSize);
void SetSliderPosition(HWND slider, int position, bool redraw);
int SliderPosition(HWND slider);

bool IsChecked(HWND window, int id);
void SetChecked(HWND window, int id, bool checked);

void ShowControl(HWND window, int id, bool shown);
bool IsControlShown(HWND window, int id);

// Invalidates without erasing and, with now, repaints at once.
void InvalidateControl(HWND window, int id, bool now);

// Answers a dialog message through DWLP_MSGRESULT.
INT_PTR SetDialogResult(HWND dialog, LONG_PTR result);

}  // namespace tonalis
