// Portable host services for the native build.
#include "model/platform.h"

#include <cstdio>
#include <cstdlib>

namespace tonalis::platform {

void* AllocateZeroed(size_t size) {
    return std::calloc(1, size == 0 ? 1 : size);
}

void Release(void* block) {
    std::free(block);
}

// Outside Windows there is no OEM code page to convert from.
void OemToAnsiInPlace(char*, size_t) {}

// rename replaces the destination atomically on POSIX systems.
bool MoveFileOver(const char* source, const char* destination) {
    return std::rename(source, destination) == 0;
}

}  // namespace tonalis::platform
