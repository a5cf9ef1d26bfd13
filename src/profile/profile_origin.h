// Whether a profile file is one that Tonalis wrote.
#pragma once

namespace tonalis {

// True when the file is a profile whose header names Tonalis as its creator,
// as every save writes it; false for any other file, or none.
bool IsTonalisProfile(const char* path);

}  // namespace tonalis
