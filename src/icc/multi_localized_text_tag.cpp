// 'mluc' tags.
#include "icc/multi_localized_text_tag.h"

#include "icc/byte_order.h"

namespace tonalis::icc {

namespace {

constexpr uint32_t kRecordCountOffset = 8;
constexpr uint32_t kRecordSizeOffset = 12;
constexpr uint32_t kRecordsOffset = 16;
constexpr uint32_t kRecordFields = 12;
constexpr uint16_t kEnglish = 0x656E;       // 'en'
constexpr uint16_t kUnitedStates = 0x5553;  // 'US'
constexpr uint16_t kChinese = 0x7A68;       // 'zh'
constexpr uint16_t kChina = 0x434E;         // 'CN'
constexpr int kOtherRecord = 4;
constexpr uint32_t kMaxText = kTextBufferSize - 1;

struct Record {
    uint16_t language;
    uint16_t country;
    uint32_t length;
    uint32_t offset;
};

// ASCII readers take the en-US text.
int EnglishRank(uint16_t language, uint16_t country) {
    return language == kEnglish && country == kUnitedStates ? 0 : kOtherRecord;
}

// The applet speaks Chinese.
int ChineseRank(uint16_t language, uint16_t country) {
    if (language == kChinese) {
        return country == kChina ? 0 : 1;
    }
    if (language == kEnglish) {
        return country == kUnitedStates ? 2 : 3;
    }
    return kOtherRecord;
}

}  // namespace

// The units of the best-ranked record, else of the first, that lie inside
// the data; a zero unit is not looked for here.
uint32_t MultiLocalizedTextTag::ChosenText(RankFunction rank, const uint8_t** units) const {
    *units = nullptr;
    const uint32_t size = Size();
    if (size < kRecordsOffset + kRecordFields) {
        return 0;
    }
    const uint8_t* data = Data();
    const uint32_t count = LoadBig32(data + kRecordCountOffset);
    const uint32_t recordSize = LoadBig32(data + kRecordSizeOffset);
    if (recordSize < kRecordFields) {
        return 0;
    }
    // Only records that lie wholly inside the data are looked at.
    const uint64_t fitting = (uint64_t(size) - kRecordsOffset - kRecordFields) / recordSize + 1;
    const uint32_t usable = fitting < count ? uint32_t(fitting) : count;
    if (usable == 0) {
        return 0;
    }
    Record chosen = {};
    int best = kOtherRecord + 1;
    for (uint32_t i = 0; i < usable && best > 0; ++i) {
        const uint8_t* at = data + kRecordsOffset + uint64_t(i) * recordSize;
        const Record record = {LoadBig16(at), LoadBig16(at + 2), LoadBig32(at + 4),
                               LoadBig32(at + 8)};
        const int recordRank = rank(record.language, record.country);
        if (recordRank < best) {
            best = recordRank;
            chosen = record;
        }
    }
    if (chosen.offset >= size) {
        return 0;
    }
    const uint32_t available = size - chosen.offset;
    *units = data + chosen.offset;
    return (chosen.length < available ? chosen.length : available) / 2;
}

void MultiLocalizedTextTag::GetText(char* out) const {
    const uint8_t* text;
    const uint32_t units = ChosenText(EnglishRank, &text);
    uint32_t kept = 0;
    for (uint32_t i = 0; i < units && kept < kMaxText; ++i) {
        const uint16_t unit = LoadBig16(text + 2 * i);
        if (unit == 0) {
            break;
        }
        if (unit < 0x80) {
            out[kept++] = char(unit);
        }
    }
    out[kept] = '\0';
}

uint32_t MultiLocalizedTextTag::GetUnicode(const uint8_t** units) const {
    const uint32_t available = ChosenText(ChineseRank, units);
    uint32_t length = 0;
    while (length < available && LoadBig16(*units + 2 * length) != 0) {
        ++length;
    }
    if (length == 0) {
        *units = nullptr;
    }
    return length;
}

}  // namespace tonalis::icc
