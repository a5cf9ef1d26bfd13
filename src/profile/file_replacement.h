// Writing a file so that whoever opens it sees either the old contents or the
// complete new ones, never a partial write.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tonalis {

// Writes the bytes to a new temporary file beside the destination, then moves
// it over the destination in one step. A destination that is a link keeps
// being one: the file it leads to is replaced, with its permission bits.
// False, with the destination exactly as it was and the temporary file gone,
// when the write fails or the destination is read-only or no regular file.
bool WriteFileReplacing(const char* destination, const uint8_t* bytes, size_t size);

}  // namespace tonalis
