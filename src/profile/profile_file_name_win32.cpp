// Normalising the path chosen in the save dialog.
#include "profile/profile_file_name.h"
#include "profile/profile_locations.h"

namespace tonalis {

// The path stays where the user chose it, whatever its characters: the ANSI
// file functions take every name of the system code page.
int FixProfileFileName(HINSTANCE, char* path, unsigned) {
    CollapseDoubledExtension(path);
    return 0;
}

}  // namespace tonalis
