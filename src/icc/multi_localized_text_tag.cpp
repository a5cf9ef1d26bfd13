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
constexpr uint32_t kMaxText = kTextBufferSize - 1;

struct Record {
    uint16_t language;
    uint16_t country;
    uint32_t length;
    uint32_t offset;
};

}  // namespace

// The units of the en-US record, else of the first, that lie inside the
// data; a zero unit is not looked for here.
uint32_t MultiLocalizedTextTag::ChosenText(const uint8_t** units) const {
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
    for (uint32_t i = 0; i < usable; ++i) {
        const uint8_t* at = data + kRecordsOffset + uint64_t(i) * recordSize;
        const Record record = {LoadBig16(at), LoadBig16(at + 2), LoadBig32(at + 4),
                               LoadBig32(at + 8)};
        if (i == 0) {
            chosen = record;
        }
        if (record.language == kEnglish && record.country == kUnitedStates) {
            chosen = record;
            break;
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
    const uint32_t units = ChosenText(&text);
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
    const uint32_t available = ChosenText(units);
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
