// Normalising the path chosen in the save dialog.
#include "profile/profile_file_name.h"
#include "profile/profile_locations.h"

namespace tonalis {

void FixProfileFileName(char* path) {
    CollapseDoubledExtension(path);
}

}  // namespace tonalis
