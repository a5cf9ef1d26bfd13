// The string work of normalising a chosen profile file name, free of any system
// call so that it is tested natively.
#pragma once

#include <cstddef>

namespace tonalis {

// Overwrites the first ".icm.icc" (else the first ".ICM.icc") and everything
// after it with ".icc"; both searches are case-sensitive. Returns whether the
// path changed.
bool CollapseDoubledExtension(char* path);

// Whether the file system keeps a file name (no folder) as it is: not empty,
// none of \ / : * ? " < > | nor a control character, and not ending in a full
// stop or a space, which the system drops. (A device name such as NUL is
// refused by the write itself.)
bool IsStorableFileName(const wchar_t* name, size_t length);

}  // namespace tonalis
