// 'mft1' and 'mft2' lookup-table tags.
#include "icc/lut_tags.h"

#include <cstring>

#include "icc/byte_order.h"
#include "icc/exception.h"

namespace tonalis::icc {

namespace {

constexpr uint32_t kInputChannelsOffset = 8;
constexpr uint32_t kOutputChannelsOffset = 9;
constexpr uint32_t kGridPointsOffset = 10;
constexpr uint32_t kLut8TablesOffset = 48;
constexpr uint32_t kLut16InputEntriesOffset = 48;
constexpr uint32_t kLut16OutputEntriesOffset = 50;
constexpr uint32_t kLut16TablesOffset = 52;
constexpr uint32_t kLut8TableEntries = 256;

struct Shape {
    uint32_t inputChannels;
    uint32_t outputChannels;
    uint32_t gridPoints;
};

Shape ShapeOf(const uint8_t* data) {
    return {data[kInputChannelsOffset], data[kOutputChannelsOffset], data[kGridPointsOffset]};
}

// Adds n to *total unless that passes size.
bool Add(uint32_t* total, uint64_t n, uint32_t size) {
    if (n > size - *total) {
        return false;
    }
    *total += uint32_t(n);
    return true;
}

uint16_t Clamp16(double v) {
    if (!(v >= 1.0)) {
        return 0;
    }
    return v >= 65535.0 ? 65535 : uint16_t(v);
}

}  // namespace

bool Lut8Tag::LayoutFits(const uint8_t* data, uint32_t size) {
    if (data == nullptr || size < kLut8TablesOffset) {
        return false;
    }
    const Shape s = ShapeOf(data);
    uint32_t total = kLut8TablesOffset;
    uint32_t clut;
    return Add(&total, uint64_t(kLut8TableEntries) * s.inputChannels, size) &&
           CheckedPowerTimes(s.gridPoints, s.inputChannels, s.outputChannels, size, &clut) &&
           Add(&total, clut, size) &&
           Add(&total, uint64_t(kLut8TableEntries) * s.outputChannels, size);
}

Lut8Tag::Lut8Tag(MemoryPool* pool, Tag* after, uint32_t signature, const uint8_t* bytes,
                 uint32_t size)
    : Tag(pool, after, signature, bytes, size) {
    if (!LayoutFits(Data(), Size())) {
        throw Exception(kNotAcceptable, pool);
    }
}

Lut8Tag::Lut8Tag(MemoryPool* pool, Tag* after, uint32_t signature, Tag* source)
    : Tag(pool, after, signature, source) {
    if (!LayoutFits(Data(), Size())) {
        throw Exception(kNotAcceptable, pool);
    }
}

uint32_t Lut8Tag::ClutSize() const {
    const Shape s = ShapeOf(Data());
    return IntegerPower(s.gridPoints, s.inputChannels) * s.outputChannels;
}

uint8_t Lut8Tag::InputChannels() const {
    return Data()[kInputChannelsOffset];
}

uint8_t Lut8Tag::OutputChannels() const {
    return Data()[kOutputChannelsOffset];
}

uint8_t Lut8Tag::GridPoints() const {
    return Data()[kGridPointsOffset];
}

uint8_t* Lut8Tag::InputTables() {
    return MutableData() + kLut8TablesOffset;
}

uint8_t* Lut8Tag::Clut() {
    return InputTables() + kLut8TableEntries * InputChannels();
}

uint8_t* Lut8Tag::OutputTables() {
    return Clut() + ClutSize();
}

void Lut8Tag::GetClut(uint8_t* out) const {
    const uint8_t* clut = Data() + kLut8TablesOffset + kLut8TableEntries * InputChannels();
    std::memcpy(out, clut, ClutSize());
}

void Lut8Tag::SetInputTables(uint32_t count, const LutTableSpec* contents) {
    if (contents == nullptr || count != InputChannels() || count == 0 ||
        contents[0].entryCount != kLut8TableEntries) {
        throw Exception(kInternalError, Pool());
    }
    for (uint32_t c = 0; c < count; ++c) {
        const LutTableSpec& content = contents[c];
        if (content.entryCount != kLut8TableEntries) {
            throw Exception(kInternalError, Pool());
        }
        uint8_t* table = InputTables() + c * kLut8TableEntries;
        switch (content.kind) {
            case LutTableSpec::kIdentity:
                for (uint32_t k = 0; k < kLut8TableEntries; ++k) {
                    table[k] = k < kLut8TableEntries / 2 ? 0x00 : 0xFF;
                }
                break;
            case LutTableSpec::kEightBit:
            case LutTableSpec::kSixteenBit:
                // Bytes in both cases: rounding a byte gives the byte.
                if (content.values == nullptr) {
                    throw Exception(kInternalError, Pool());
                }
                std::memcpy(table, content.values, kLut8TableEntries);
                break;
            default:
                throw Exception(kInternalError, Pool());
        }
    }
}

bool Lut16Tag::LayoutFits(const uint8_t* data, uint32_t size) {
    if (data == nullptr || size < kLut16TablesOffset) {
        return false;
    }
    const Shape s = ShapeOf(data);
    const uint32_t inputEntries = LoadBig16(data + kLut16InputEntriesOffset);
    const uint32_t outputEntries = LoadBig16(data + kLut16OutputEntriesOffset);
    uint32_t total = kLut16TablesOffset;
    uint32_t clutValues;
    return Add(&total, uint64_t(2) * inputEntries * s.inputChannels, size) &&
           CheckedPowerTimes(s.gridPoints, s.inputChannels, s.outputChannels, size, &clutValues) &&
           Add(&total, uint64_t(2) * clutValues, size) &&
           Add(&total, uint64_t(2) * outputEntries * s.outputChannels, size);
}

Lut16Tag::Lut16Tag(MemoryPool* pool, Tag* after, uint32_t signature, const uint8_t* bytes,
                   uint32_t size)
    : Tag(pool, after, signature, bytes, size) {
    if (!LayoutFits(Data(), Size())) {
        throw Exception(kNotAcceptable, pool);
    }
}

Lut16Tag::Lut16Tag(MemoryPool* pool, Tag* after, uint32_t signature, Tag* source)
    : Tag(pool, after, signature, source) {
    if (!LayoutFits(Data(), Size())) {
        throw Exception(kNotAcceptable, pool);
    }
}

uint32_t Lut16Tag::ClutValues() const {
    const Shape s = ShapeOf(Data());
    return IntegerPower(s.gridPoints, s.inputChannels) * s.outputChannels;
}

uint8_t Lut16Tag::InputChannels() const {
    return Data()[kInputChannelsOffset];
}

uint8_t Lut16Tag::OutputChannels() const {
    return Data()[kOutputChannelsOffset];
}

uint8_t Lut16Tag::GridPoints() const {
    return Data()[kGridPointsOffset];
}

uint16_t Lut16Tag::InputEntries() const {
    return LoadBig16(Data() + kLut16InputEntriesOffset);
}

uint16_t Lut16Tag::OutputEntries() const {
    return LoadBig16(Data() + kLut16OutputEntriesOffset);
}

uint8_t* Lut16Tag::InputTables() {
    return MutableData() + kLut16TablesOffset;
}

uint8_t* Lut16Tag::Clut() {
    return InputTables() + 2u * InputEntries() * InputChannels();
}

uint8_t* Lut16Tag::OutputTables() {
    return Clut() + 2u * ClutValues();
}

void Lut16Tag::SetClut(const uint16_t* values) {
    uint8_t* clut = Clut();
    const uint32_t count = ClutValues();
    for (uint32_t k = 0; k < count; ++k) {
        StoreBig16(clut + 2 * k, values[k]);
    }
}

void Lut16Tag::SetInputTables(uint32_t count, const LutTableSpec* contents) {
    SetTables(InputTables(), InputEntries(), InputChannels(), count, contents);
}

void Lut16Tag::SetOutputTables(uint32_t count, const LutTableSpec* contents) {
    SetTables(OutputTables(), OutputEntries(), OutputChannels(), count, contents);
}

// Each channel's content must have the table's entry count: a longer one would write
// into the next channel's table or past the data.
void Lut16Tag::SetTables(uint8_t* area, uint32_t tableEntries, uint32_t channels, uint32_t count,
                         const LutTableSpec* contents) {
    if (contents == nullptr || count != channels || count == 0 ||
        contents[0].entryCount != tableEntries) {
        throw Exception(kInternalError, Pool());
    }
    for (uint32_t c = 0; c < count; ++c) {
        const LutTableSpec& content = contents[c];
        if (content.entryCount != tableEntries || content.kind > LutTableSpec::kSixteenBit ||
            (content.kind != LutTableSpec::kIdentity && content.values == nullptr)) {
            throw Exception(kInternalError, Pool());
        }
        uint8_t* table = area + 2 * c * tableEntries;
        for (uint32_t k = 0; k < tableEntries; ++k) {
            uint16_t value;
            switch (content.kind) {
                case LutTableSpec::kIdentity:
                    value = tableEntries < 2 ? 0 : Clamp16(k * 65535.0 / (tableEntries - 1) + 0.5);
                    break;
                case LutTableSpec::kEightBit:
                    value = Clamp16(static_cast<const uint8_t*>(content.values)[k] * 257.0 + 0.5);
                    break;
                default:
                    value = static_cast<const uint16_t*>(content.values)[k];
                    break;
            }
            StoreBig16(table + 2 * k, value);
        }
    }
}

}  // namespace tonalis::icc
