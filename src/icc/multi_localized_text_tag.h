// 'mluc' tags: texts in several languages, as ICC v4 profiles keep their
// description and copyright.
#pragma once

#include "icc/tag.h"
#include "icc/text_tags.h"

namespace tonalis::icc {

// Layout: 'mluc', 4 reserved bytes, record count, record size (12), then the
// records: language and country (two characters each), length in bytes and
// offset from the start of the tag of a big-endian UTF-16 string.
class MultiLocalizedTextTag : public Tag {
  public:
    using Tag::Tag;

    // The en-US record's text, else the first record's, with only its 7-bit
    // ASCII characters kept, up to its first zero, at most 255 of them and
    // zero-terminated: out holds kTextBufferSize bytes. Records and strings
    // are read no further than the tag's data; empty when there is none.
    void GetText(char* out) const;

    // The text for a Chinese reader: the zh-CN record's, else another zh
    // record's, else en-US, another en, the first; as it stands, big-endian
    // UTF-16 units up to its first zero and no further than the data: the
    // count of units, and their address in *units (null when there are none).
    uint32_t GetUnicode(const uint8_t** units) const;

  private:
    // ranks: the rank of each language and country, lower preferred; the
    // first record of the best rank is taken.
    using RankFunction = int (*)(uint16_t language, uint16_t country);
    uint32_t ChosenText(RankFunction rank, const uint8_t** units) const;
};

}  // namespace tonalis::icc
