// The text of a description or copyright tag, whichever type holds it.
#pragma once

#include "icc/tag.h"

namespace tonalis::icc {

// The ASCII text of a 'desc', 'text' or 'mluc' tag into out (kTextBufferSize
// bytes, at most 255 characters and a zero). False, with out untouched, for
// a null tag or one of another class.
bool ReadTagText(const Tag* tag, char* out);

}  // namespace tonalis::icc
