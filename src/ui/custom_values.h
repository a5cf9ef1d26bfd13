// The number fields of the custom white point and phosphor dialogs.
#pragma once

#include <windows.h>

namespace tonalis {

// Shows the value with "%-6.4f" in a field limited to 6 characters.
void ShowNumberField(HWND dialog, int id, double value);
// Reads at most 7 characters, turns the first comma into a full stop (written
// back into the field) and parses; false unless the whole text is a number.
bool ReadNumberField(HWND dialog, int id, double* value);

}  // namespace tonalis
