// The few host services that the portable code needs. The DLL supplies Win32
// bodies; the native build supplies portable ones.
#pragma once

#include <cstddef>

namespace tonalis::platform {

// Zero-filled memory; nullptr when none is available.
void* AllocateZeroed(size_t size);
void Release(void* block);

// Converts text from the OEM code page to the ANSI code page in place.
void OemToAnsiInPlace(char* text, size_t length);

// Moves the file at source over destination in one step, replacing any file
// there and, on Windows, reaching the disk before it returns. False, with
// both files as they were, when that cannot be done.
bool MoveFileOver(const char* source, const char* destination);

}  // namespace tonalis::platform
