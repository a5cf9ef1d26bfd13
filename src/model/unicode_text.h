// Conversions between the UTF-8 that descriptions are kept in and the UTF-16
// of profile tags and Windows controls, and the checks a description passes.
#pragma once

#include <cstddef>

namespace tonalis {

// Writes the UTF-8 of count UTF-16 units into out (outSize bytes, always
// terminated when outSize > 0); a unit of an unpaired surrogate becomes
// U+FFFD. A character that does not fit ends the text. Returns the bytes
// written without the terminator.
size_t Utf16ToUtf8(const char16_t* units, size_t count, char* out, size_t outSize);

// Writes the UTF-16 of the zero-terminated UTF-8 text into out (outUnits
// units, always terminated when outUnits > 0); bytes that begin no
// well-formed sequence become U+FFFD each. A character that does not fit,
// as a whole pair, ends the text. Returns the units written without the
// terminator.
size_t Utf8ToUtf16(const char* text, char16_t* out, size_t outUnits);

// The bytes of the well-formed UTF-8 sequence at text, of the available bytes
// there: 1 for ASCII, 0 when the byte begins none (overlong forms, surrogates
// and code points above U+10FFFF included).
size_t Utf8SequenceLength(const char* text, size_t available);

// True for zero-terminated text that is well-formed UTF-8 (no overlong forms,
// surrogates or code points above U+10FFFF).
bool IsWellFormedUtf8(const char* text);

// The UTF-16 units that the text takes, as a Windows edit control counts them.
size_t Utf16Length(const char* text);

// C0 and C1 controls and DEL: what a description never holds.
inline bool IsControlCharacter(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}
bool HasControlCharacter(const char* text);

}  // namespace tonalis
