// Texts read by tag class.
#include "icc/tag_text.h"

#include <cstring>

#include "icc/byte_order.h"
#include "icc/multi_localized_text_tag.h"
#include "icc/profile_info.h"
#include "icc/text_tags.h"
#include "model/unicode_text.h"

namespace tonalis::icc {

namespace {

// Big-endian units as UTF-8, cut before a pair that would pass the limit.
void UnitsToUtf8(const uint8_t* bigEndian, uint32_t count, char* out) {
    char16_t units[kProfileTextUnits];
    if (count > uint32_t(kProfileTextUnits)) {
        count = kProfileTextUnits;
        const uint16_t last = LoadBig16(bigEndian + 2 * (count - 1));
        if (last >= 0xD800 && last <= 0xDBFF) {
            --count;
        }
    }
    for (uint32_t i = 0; i < count; ++i) {
        units[i] = char16_t(LoadBig16(bigEndian + 2 * i));
    }
    Utf16ToUtf8(units, count, out, kProfileTextSize);
}

void AsciiPartToUtf8(const char* text, char* out) {
    if (IsWellFormedUtf8(text)) {
        std::strcpy(out, text);
        return;
    }
    char16_t units[kTextBufferSize];
    size_t count = 0;
    for (; text[count] != '\0'; ++count) {
        units[count] = char16_t(static_cast<unsigned char>(text[count]));
    }
    Utf16ToUtf8(units, count, out, kProfileTextSize);
}

}  // namespace

bool ReadTagText(const Tag* tag, char* out) {
    if (const auto* description = dynamic_cast<const TextDescriptionTag*>(tag)) {
        description->GetText(out);
    } else if (const auto* text = dynamic_cast<const TextTag*>(tag)) {
        text->GetText(out);
    } else if (const auto* localized = dynamic_cast<const MultiLocalizedTextTag*>(tag)) {
        localized->GetText(out);
    } else {
        return false;
    }
    return true;
}

bool ReadTagUnicodeText(const Tag* tag, char* out) {
    const uint8_t* units = nullptr;
    uint32_t count = 0;
    if (const auto* description = dynamic_cast<const TextDescriptionTag*>(tag)) {
        count = description->GetUnicode(&units);
    } else if (const auto* localized = dynamic_cast<const MultiLocalizedTextTag*>(tag)) {
        count = localized->GetUnicode(&units);
    }
    if (count != 0) {
        UnitsToUtf8(units, count, out);
        return true;
    }
    char ascii[kTextBufferSize];
    if (!ReadTagText(tag, ascii)) {
        return false;
    }
    AsciiPartToUtf8(ascii, out);
    return true;
}

}  // namespace tonalis::icc
