// The string work of normalising a chosen profile file name, free of any system
// call so that it is tested natively.
#pragma once

#include <cstddef>

namespace tonalis {

// Overwrites the first ".icm.icc" (else the first ".ICM.icc") and everything
// after it with ".icc"; both searches are case-sensitive. Returns whether the
// path changed.
bool CollapseDoubledExtension(char* path);

// Writes colorDirectory + "Orvane Current Monitor" + number + ".icc" into path
// when it fits in size bytes; otherwise returns false and leaves path alone.
bool FormatCurrentMonitorPath(char* path, size_t size, const char* colorDirectory, unsigned number);

// Whether any of the UTF-16 units lies above U+00FF, which the profile file name
// cannot carry.
bool HasCharacterBeyondLatin1(const wchar_t* text, size_t length);

}  // namespace tonalis
