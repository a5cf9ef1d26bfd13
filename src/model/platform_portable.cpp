// Portable host services for the native build.
#include "model/platform.h"

#include <cstdlib>

namespace tonalis::platform {

void* AllocateZeroed(size_t size) { return std::calloc(1, size == 0 ? 1 : size); }

void Release(void* block) { std::free(block); }

// Outside Windows there is no OEM code page to convert from.
void OemToAnsiInPlace(char*, size_t) {}

}  // namespace tonalis::platform
