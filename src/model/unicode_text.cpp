// UTF-8 and UTF-16 conversions for description texts.
#include "model/unicode_text.h"

#include <cstdint>

namespace tonalis {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

size_t EncodedLength(char32_t c) {
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

void Encode(char32_t c, char* out) {
    const size_t length = EncodedLength(c);
    static const uint8_t kLead[5] = {0, 0x00, 0xC0, 0xE0, 0xF0};
    for (size_t i = length - 1; i > 0; --i) {
        out[i] = char(0x80 | (c & 0x3F));
        c >>= 6;
    }
    out[0] = char(kLead[length] | c);
}

// The code point at text, or U+FFFD for a byte that begins no well-formed
// sequence; *length receives the bytes it takes (1 for such a byte). The text
// is zero-terminated: a sequence cut short meets the terminator, which is no
// continuation byte, so four bytes may be offered.
char32_t Decode(const unsigned char* text, size_t* length) {
    const size_t count = Utf8SequenceLength(reinterpret_cast<const char*>(text), 4);
    *length = count == 0 ? 1 : count;
    if (count <= 1) {
        return count == 0 ? kReplacement : text[0];
    }
    char32_t c = text[0] & (0xFF >> (count + 1));
    for (size_t i = 1; i < count; ++i) {
        c = (c << 6) | (text[i] & 0x3F);
    }
    return c;
}

template <class Visit>
void ForEachCodePoint(const char* text, Visit visit) {
    const auto* at = reinterpret_cast<const unsigned char*>(text);
    while (*at != 0) {
        size_t length = 1;
        const char32_t c = Decode(at, &length);
        if (!visit(c, length)) {
            return;
        }
        at += length;
    }
}

}  // namespace

size_t Utf8SequenceLength(const char* text, size_t available) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    if (available == 0) {
        return 0;
    }
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return 1;
    }
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    if (length == 0 || length > available || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

size_t Utf16ToUtf8(const char16_t* units, size_t count, char* out, size_t outSize) {
    if (outSize == 0) {
        return 0;
    }
    size_t written = 0;
    for (size_t i = 0; i < count; ++i) {
        char32_t c = units[i];
        if (IsHighSurrogate(c) && i + 1 < count && IsLowSurrogate(units[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            c = kReplacement;
        }
        if (written + EncodedLength(c) >= outSize) {
            break;
        }
        Encode(c, out + written);
        written += EncodedLength(c);
    }
    out[written] = '\0';
    return written;
}

size_t Utf8ToUtf16(const char* text, char16_t* out, size_t outUnits) {
    if (outUnits == 0) {
        return 0;
    }
    size_t written = 0;
    ForEachCodePoint(text, [&](char32_t c, size_t) {
        const size_t needed = c >= 0x10000 ? 2 : 1;
        if (written + needed >= outUnits) {
            return false;
        }
        if (needed == 2) {
            out[written++] = char16_t(0xD800 + ((c - 0x10000) >> 10));
            out[written++] = char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out[written++] = char16_t(c);
        }
        return true;
    });
    out[written] = u'\0';
    return written;
}

bool IsWellFormedUtf8(const char* text) {
    bool wellFormed = true;
    ForEachCodePoint(text, [&](char32_t c, size_t length) {
        // U+FFFD itself takes three bytes; a replaced byte takes one.
        wellFormed = !(c == kReplacement && length == 1);
        return wellFormed;
    });
    return wellFormed;
}

size_t Utf16Length(const char* text) {
    size_t units = 0;
    ForEachCodePoint(text, [&](char32_t c, size_t) {
        units += c >= 0x10000 ? 2 : 1;
        return true;
    });
    return units;
}

bool HasControlCharacter(const char* text) {
    bool found = false;
    ForEachCodePoint(text, [&](char32_t c, size_t) {
        found = IsControlCharacter(c);
        return !found;
    });
    return found;
}

}  // namespace tonalis
