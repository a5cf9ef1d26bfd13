// Win32 host services for the portable code.
#include "model/platform.h"

#include <windows.h>

namespace tonalis::platform {

void* AllocateZeroed(size_t size) {
    return GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size);
}

void Release(void* block) {
    if (block != nullptr) {
        GlobalFree(block);
    }
}

void OemToAnsiInPlace(char* text, size_t length) {
    if (text != nullptr && length > 0) {
        OemToCharBuffA(text, text, static_cast<DWORD>(length));
    }
}

bool MoveFileOver(const char* source, const char* destination) {
    return MoveFileExA(source, destination, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
           FALSE;
}

}  // namespace tonalis::platform
