// The keeper started at logon by the desktop: an XDG autostart entry,
// ~/.config/autostart/tonalis-keep.desktop.
#pragma once

#include <string>
#include <vector>

namespace tonalis {

// Writes the entry that runs "tonalis keep WORDS..."; returns its path.
std::string InstallKeepAutostart(const std::vector<std::string>& words);

// Deletes the entry; false when there was none.
bool RemoveKeepAutostart(std::string* path);

}  // namespace tonalis
