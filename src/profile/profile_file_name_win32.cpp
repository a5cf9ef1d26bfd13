// Normalising the path chosen in the save dialog.
#include <cstring>

#include "model/monitor_settings.h"
#include "profile/profile_file_name.h"
#include "profile/profile_locations.h"

namespace tonalis {

int FixProfileFileName(HINSTANCE instance, char* path, unsigned number) {
    wchar_t wide[kProfilePathSize];
    int length = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, path,
                                     static_cast<int>(strnlen(path, kProfilePathSize)), wide,
                                     kProfilePathSize);
    if (length > 0 && HasCharacterBeyondLatin1(wide, static_cast<size_t>(length))) {
        // Such a path is replaced whole; on failure it stays as chosen.
        char directory[kProfilePathSize];
        int result = GetColorDirectory(instance, directory, kProfilePathSize);
        if (result != 0) {
            return result;
        }
        FormatCurrentMonitorPath(path, kProfilePathSize, directory, number);
        return 0;
    }
    CollapseDoubledExtension(path);
    return 0;
}

}  // namespace tonalis
