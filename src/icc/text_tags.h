// 'desc' and 'text' tags: the description and the copyright.
#pragma once

#include "icc/tag.h"

namespace tonalis::icc {

constexpr uint32_t kTextBufferSize = 256;

// Layout as made: 'desc', 4 reserved, ASCII count L + 1, the text and its
// zero, then empty Unicode and ScriptCode parts: L + 92 bytes in all. With a
// Unicode text of U units, the Unicode count is U + 1 and the units and their
// zero follow it: L + 92 + 2 (U + 1) bytes.
class TextDescriptionTag : public Tag {
  public:
    using Tag::Tag;
    TextDescriptionTag(MemoryPool* pool, Tag* after, uint32_t signature, const char* text);
    // unicode: units big-endian UTF-16 units, without a terminating zero.
    TextDescriptionTag(MemoryPool* pool, Tag* after, uint32_t signature, const char* text,
                       const uint8_t* unicode, uint32_t units);

    // The ASCII text up to its first zero, at most 255 characters and never
    // past the tag's data, zero-terminated: out holds kTextBufferSize bytes.
    virtual void GetText(char* out) const;

    // Null does nothing. The buffer is reused when the new layout fits in it;
    // the Unicode part is left empty.
    void SetText(const char* text);
};

// Layout: 'text', 4 reserved, the text and its zero: L + 9 bytes.
class TextTag : public Tag {
  public:
    enum Mode { kReplace, kAppend };

    using Tag::Tag;
    TextTag(MemoryPool* pool, Tag* after, uint32_t signature, const char* text);

    // The stored text up to its first zero or the end of the data, at most
    // 255 characters, zero-terminated: out holds kTextBufferSize bytes.
    void GetText(char* out) const;
    uint32_t TextLength() const;

    // Null does nothing. kAppend adds text unless the stored text already
    // contains it; when the result would not fit in kTextBufferSize bytes
    // with its zero, the text stays as it was.
    void SetText(const char* text, Mode mode);
};

}  // namespace tonalis::icc
