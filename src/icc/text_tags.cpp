// 'desc' and 'text' tags.
#include "icc/text_tags.h"

#include <cstring>

#include "icc/byte_order.h"

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

uint32_t BoundedLength(const uint8_t* text, uint32_t limit) {
    const void* zero = std::memchr(text, 0, limit);
    return zero != nullptr ? uint32_t(static_cast<const uint8_t*>(zero) - text) : limit;
}

uint32_t TextArgumentLength(const char* text) {
    return uint32_t(std::strlen(text));
}

void LayOutDescription(uint8_t* data, const char* text, uint32_t length) {
    StoreBig32(data, Sig("desc"));
    StoreBig32(data + kDescCountOffset, length + 1);
    std::memcpy(data + kDescTextOffset, text, length);
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
                                       const char* text)
    : Tag(pool, after, signature) {
    const uint32_t length = TextArgumentLength(text);
    LayOutDescription(ReplaceBuffer(length + kDescFixedSize), text, length);
}

TextDescriptionTag::TextDescriptionTag(MemoryPool* pool, Tag* after, uint32_t signature,
                                       const char* text, const uint8_t* unicode, uint32_t units)
    : Tag(pool, after, signature) {
    const uint32_t length = TextArgumentLength(text);
    const uint32_t unicodeSize = units == 0 ? 0 : 2 * (units + 1);
    uint8_t* data = ReplaceBuffer(length + kDescFixedSize + unicodeSize);
    LayOutDescription(data, text, length);
    if (units != 0) {
        uint8_t* part = data + kDescTextOffset + length + 1;
        StoreBig32(part + kUnicodeCountOffset, units + 1);
        std::memcpy(part + kUnicodeTextOffset, unicode, 2 * size_t(units));
    }
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

void TextDescriptionTag::SetText(const char* text) {
    if (text == nullptr) {
        return;
    }
    const uint32_t length = TextArgumentLength(text);
    const uint32_t newSize = length + kDescFixedSize;
    uint8_t* data;
    if (!HasOwnData() || length > DescriptionLength(*this) || newSize > Size()) {
        data = ReplaceBuffer(newSize);
    } else {
        data = MutableData();
        std::memset(data + kDescCountOffset, 0, Size() - kDescCountOffset);
        SetSize(newSize);
    }
    LayOutDescription(data, text, length);
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
