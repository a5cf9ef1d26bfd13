// 'desc' and 'text' tags: the description and the copyright.
#pragma once

#include "icc/tag.h"

namespace tonalis::icc {

constexpr uint32_t kTextBufferSize = 256;
// The ASCII part of a description whose text has no printable ASCII at all,
// when the caller has no plain name of its own either.
constexpr char kPlainDescription[] = "Tonalis profile";

// Layout as made: 'desc', 4 reserved, ASCII count L + 1, the text and its
// zero, then empty Unicode and ScriptCode parts: L + 92 bytes in all. With a
// Unicode text of U units, the Unicode count is U + 1 and the units and their
// zero follow it: L + 92 + 2 (U + 1) bytes.
//
// A text given in UTF-8 that is all printable ASCII is the ASCII part alone,
// as older writers made it. Any other text goes whole into the Unicode part,
// and the ASCII part keeps its printable ASCII characters, with no spaces at
// either end or side by side; with none at all, the plain name given (when it
// is printable ASCII), else kPlainDescription.
class TextDescriptionTag : public Tag {
  public:
    using Tag::Tag;
    TextDescriptionTag(MemoryPool* pool, Tag* after, uint32_t signature, const char* text,
                       const char* plainName = nullptr);
    // ascii as it stands; unicode: big-endian UTF-16 units, without a
    // terminating zero. An empty ASCII part beside units gets kPlainDescription.
    TextDescriptionTag(MemoryPool* pool, Tag* after, uint32_t signature, const char* ascii,
                       const uint8_t* unicode, uint32_t units);

    // The ASCII text up to its first zero, at most 255 characters and never
    // past the tag's data, zero-terminated: out holds kTextBufferSize bytes.
    virtual void GetText(char* out) const;
    // The Unicode part's big-endian units up to its first zero and never past
    // the data: their count, and their address in *units (null when none).
    uint32_t GetUnicode(const uint8_t** units) const;

    // Null does nothing. The buffer is reused when the new layout fits in it.
    void SetText(const char* text, const char* plainName = nullptr);
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
