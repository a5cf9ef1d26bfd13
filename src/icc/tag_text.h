// The text of a description or copyright tag, whichever type holds it.
#pragma once

#include "icc/tag.h"

namespace tonalis::icc {

// The ASCII text of a 'desc', 'text' or 'mluc' tag into out (kTextBufferSize
// bytes, at most 255 characters and a zero). False, with out untouched, for
// a null tag or one of another class.
bool ReadTagText(const Tag* tag, char* out);

// The text a reader should show, in UTF-8 (at most kProfileTextUnits UTF-16
// units, zero-terminated in kProfileTextSize bytes): a 'desc' tag's Unicode
// part, else its ASCII part; an 'mluc' tag's preferred record; a 'text'
// tag's text. Bytes of an ASCII part that are not ASCII are read as UTF-8
// when they form it, else as ISO 8859-1. False, with out untouched, for a
// null tag or one of another class.
bool ReadTagUnicodeText(const Tag* tag, char* out);

}  // namespace tonalis::icc
