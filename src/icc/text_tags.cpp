// 'desc' and 'text' tags.
#include "icc/text_tags.h"

#include <cstring>

#include "icc/byte_order.h"
#include "icc/profile_info.h"
#include "model/unicode_text.h"

namespace tonalis::icc {

namespace {

constexpr uint32_t kDescCountOffset = 8;
constexpr uint32_t kDescTextOffset = 12;
constexpr uint32_t kDescFixedSize = 92;  // one zero more than the fields need
// From the end of the ASCII text and its zero.
constexpr uint32_t kUnicodeCountOffset = 4;
constexpr uint32_t kUnicodeTextOffset = 8;
constexpr uint32_t kTextOffset = 8;
constexpr uint32_t kMaxText = kTextBufferSize - 1;
// Derived parts are made from texts no longer than the library's buffers.
constexpr uint32_t kPartSize = kProfileTextSize;

uint32_t BoundedLength(const uint8_t* text, uint32_t limit) {
    const void* zero = std::memchr(text, 0, limit);
    return zero != nullptr ? uint32_t(static_cast<const uint8_t*>(zero) - text) : limit;
}

uint32_t TextArgumentLength(const char* text) {
    return uint32_t(std::strlen(text));
}

bool IsPrintableAscii(char c) {
    return c >= 0x20 && c <= 0x7E;
}

bool IsAllPrintableAscii(const char* text) {
    for (; *text != '\0'; ++text) {
        if (!IsPrintableAscii(*text)) {
            return false;
        }
    }
    return true;
}

// The two parts of a description as the tag stores them.
struct DescriptionParts {
    const char* ascii;
    uint32_t asciiLength;
    const char16_t* units;  // host order
    uint32_t unitCount;
};

// The ASCII part and the Unicode units of a UTF-8 text, made in the given
// buffers (kPartSize each) when the text is not plain ASCII.
DescriptionParts SplitDescription(const char* text, const char* plainName, char* ascii,
                                  char16_t* units) {
    if (IsAllPrintableAscii(text)) {
        return {text, TextArgumentLength(text), nullptr, 0};
    }
    uint32_t length = 0;
    for (const char* at = text; *at != '\0' && length < kPartSize - 1; ++at) {
        if (IsPrintableAscii(*at) && !(*at == ' ' && (length == 0 || ascii[length - 1] == ' '))) {
            ascii[length++] = *at;
        }
    }
    while (length > 0 && ascii[length - 1] == ' ') {
        --length;
    }
    ascii[length] = '\0';
    const char* chosen = ascii;
    if (length == 0) {
        const bool plain = plainName != nullptr && plainName[0] != '\0' &&
                           IsAllPrintableAscii(plainName) && std::strlen(plainName) < kPartSize;
        chosen = plain ? plainName : kPlainDescription;
        length = TextArgumentLength(chosen);
    }
    const uint32_t count = uint32_t(Utf8ToUtf16(text, units, kPartSize));
    return {chosen, length, units, count};
}

uint32_t DescriptionSize(const DescriptionParts& parts) {
    return parts.asciiLength + kDescFixedSize +
           (parts.unitCount == 0 ? 0 : 2 * (parts.unitCount + 1));
}

// Lays the parts out in zeroed data; unicode, when given, is already
// big-endian and replaces parts.units.
void LayOutDescription(uint8_t* data, const DescriptionParts& parts,
                       const uint8_t* unicode = nullptr) {
    StoreBig32(data, Sig("desc"));
    StoreBig32(data + kDescCountOffset, parts.asciiLength + 1);
    std::memcpy(data + kDescTextOffset, parts.ascii, parts.asciiLength);
    if (parts.unitCount == 0) {
        return;
    }
    uint8_t* part = data + kDescTextOffset + parts.asciiLength + 1;
    StoreBig32(part + kUnicodeCountOffset, parts.unitCount + 1);
    uint8_t* units = part + kUnicodeTextOffset;
    if (unicode != nullptr) {
        std::memcpy(units, unicode, 2 * size_t(parts.unitCount));
        return;
    }
    for (uint32_t i = 0; i < parts.unitCount; ++i) {
        StoreBig16(units + 2 * i, uint16_t(parts.units[i]));
    }
}

// The stored ASCII text of a description, bounded by the data.
uint32_t DescriptionLength(const Tag& tag) {
    if (tag.Size() <= kDescTextOffset) {
        return 0;
    }
    return BoundedLength(tag.Data() + kDescTextOffset, tag.Size() - kDescTextOffset);
}

}  // namespace

TextDescriptionTag::TextDescriptionTag(MemoryPool* pool, Tag* after, uint32_t signature,
                                       const char* text, const char* plainName)
    : Tag(pool, after, signature) {
    char ascii[kPartSize];
    char16_t units[kPartSize];
    const DescriptionParts parts = SplitDescription(text, plainName, ascii, units);
    LayOutDescription(ReplaceBuffer(DescriptionSize(parts)), parts);
}

TextDescriptionTag::TextDescriptionTag(MemoryPool* pool, Tag* after, uint32_t signature,
                                       const char* ascii, const uint8_t* unicode, uint32_t units)
    : Tag(pool, after, signature) {
    DescriptionParts parts = {ascii, TextArgumentLength(ascii), nullptr, units};
    if (parts.asciiLength == 0 && units != 0) {
        parts.ascii = kPlainDescription;
        parts.asciiLength = TextArgumentLength(kPlainDescription);
    }
    LayOutDescription(ReplaceBuffer(DescriptionSize(parts)), parts, unicode);
}

void TextDescriptionTag::GetText(char* out) const {
    uint32_t length = DescriptionLength(*this);
    if (length > kMaxText) {
        length = kMaxText;
    }
    if (length > 0) {
        std::memcpy(out, Data() + kDescTextOffset, length);
    }
    out[length] = '\0';
}

uint32_t TextDescriptionTag::GetUnicode(const uint8_t** units) const {
    *units = nullptr;
    const uint64_t size = Size();
    if (size < kDescTextOffset) {
        return 0;
    }
    const uint64_t part = kDescTextOffset + uint64_t(LoadBig32(Data() + kDescCountOffset));
    if (part + kUnicodeTextOffset > size) {
        return 0;
    }
    const uint64_t counted = LoadBig32(Data() + part + kUnicodeCountOffset);
    const uint64_t available = (size - part - kUnicodeTextOffset) / 2;
    const uint8_t* first = Data() + part + kUnicodeTextOffset;
    uint32_t length = 0;
    while (length < counted && length < available && LoadBig16(first + 2 * length) != 0) {
        ++length;
    }
    if (length != 0) {
        *units = first;
    }
    return length;
}

void TextDescriptionTag::SetText(const char* text, const char* plainName) {
    if (text == nullptr) {
        return;
    }
    char ascii[kPartSize];
    char16_t units[kPartSize];
    const DescriptionParts parts = SplitDescription(text, plainName, ascii, units);
    const uint32_t newSize = DescriptionSize(parts);
    uint8_t* data;
    if (!HasOwnData() || parts.asciiLength > DescriptionLength(*this) || newSize > Size()) {
        data = ReplaceBuffer(newSize);
    } else {
        data = MutableData();
        std::memset(data + kDescCountOffset, 0, Size() - kDescCountOffset);
        SetSize(newSize);
    }
    LayOutDescription(data, parts);
}

TextTag::TextTag(MemoryPool* pool, Tag* after, uint32_t signature, const char* text)
    : Tag(pool, after, signature) {
    const uint32_t length = TextArgumentLength(text);
    uint8_t* data = ReplaceBuffer(length + kTextOffset + 1);
    StoreBig32(data, Sig("text"));
    std::memcpy(data + kTextOffset, text, length);
}

void TextTag::GetText(char* out) const {
    uint32_t length = TextLength();
    if (length > kMaxText) {
        length = kMaxText;
    }
    if (length > 0) {
        std::memcpy(out, Data() + kTextOffset, length);
    }
    out[length] = '\0';
}

uint32_t TextTag::TextLength() const {
    if (Size() <= kTextOffset) {
        return 0;
    }
    return BoundedLength(Data() + kTextOffset, Size() - kTextOffset);
}

void TextTag::SetText(const char* text, Mode mode) {
    if (text == nullptr) {
        return;
    }
    const uint32_t length = TextArgumentLength(text);
    const uint32_t stored = TextLength();
    if (mode == kReplace) {
        const uint32_t newSize = length + kTextOffset + 1;
        uint8_t* data;
        if (!HasOwnData() || length > stored || newSize > Size()) {
            data = ReplaceBuffer(newSize);
            StoreBig32(data, Sig("text"));
        } else {
            data = MutableData();
            std::memset(data + kTextOffset, 0, Size() - kTextOffset);
            SetSize(newSize);
        }
        std::memcpy(data + kTextOffset, text, length);
        return;
    }

    char working[kTextBufferSize] = {};
    if (stored > kMaxText || length > kMaxText - stored) {
        return;
    }
    GetText(working);
    if (std::strstr(working, text) != nullptr) {
        return;
    }
    std::memcpy(working + stored, text, length);
    const uint32_t total = stored + length;
    uint8_t* data = ReplaceBuffer(total + kTextOffset + 1);
    StoreBig32(data, Sig("text"));
    std::memcpy(data + kTextOffset, working, total);
}

}  // namespace tonalis::icc
