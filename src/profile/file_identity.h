// Whether two paths name one file, by what the file system says about the
// file rather than by how the path is spelt.
#pragma once

#include "model/platform.h"

namespace tonalis {

// Paths are UTF-8. True when both paths open and lead to the same file (same volume serial
// number and file index): a drive letter, a mapped drive, a UNC share or '/'
// separators do not make two files of one. False when either cannot be opened.
bool IsSameFile(const char* first, const char* second);

// Whether something is at the path.
bool FileExists(const char* path);

}  // namespace tonalis
