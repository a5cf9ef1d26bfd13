// Where monitor profiles live: the system's colour directory, and the file name
// that a chosen save path is normalised to.
#pragma once

#include <windows.h>
// icm.h maps GetColorDirectory to the library's own function; it is included
// here first so that the name below stays ours in every file.
#include <icm.h>
#undef GetColorDirectory

namespace tonalis {

// Paths here, as in every record, are UTF-8.
// The colour directory, always with a trailing backslash: the one that the
// colour-management library reports, else the system directory followed by
// "\Color\". Returns 0, or string 3422 when neither can be had; the buffer is
// unusable then.
int GetColorDirectory(HINSTANCE instance, char* buffer, DWORD size);

// Normalises the path chosen in the save dialog: a doubled ".icm.icc" or
// ".ICM.icc" extension becomes ".icc". Every other path, with whatever
// characters and for whichever monitor, stays where the user chose it, so
// nothing else is needed to do it.
void FixProfileFileName(char* path);

}  // namespace tonalis
