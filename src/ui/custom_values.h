// The number fields of the custom white point and phosphor dialogs.
#pragma once

#include <windows.h>

namespace tonalis {

// Shows the value with "%-6.4f" in a field limited to 6 characters.
void ShowNumberField(HWND dialog, int id, double value);
// Reads at most 7 characters, turns the first comma into a full stop (written
// back into the field) and parses; false unless the whole text is a number.
bool ReadNumberField(HWND dialog, int id, double* value);

// Shows the message (title: the product name) and puts the focus on the
// field, first selecting all its text when selectText is set.
void RefuseField(HWND dialog, HINSTANCE instance, int id, int messageId, bool selectText);
// Reads an x or y; anything but a number from 0 to 1 is refused with 3413.
bool ReadCoordinateField(HWND dialog, HINSTANCE instance, int id, double* value);

}  // namespace tonalis
