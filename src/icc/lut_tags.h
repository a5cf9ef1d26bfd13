// 'mft1' and 'mft2' lookup-table tags ('A2B0' to 'B2A2', 'gamt'). They are
// made only from bytes whose layout fits their size, so every area they
// address lies inside the data.
#pragma once

#include "icc/tag.h"

namespace tonalis::icc {

// One channel's table for the lut setters.
struct LutTableSpec {
    enum Kind : uint8_t {
        kIdentity = 0,    // 8-bit luts: a step at the middle; 16-bit: a ramp
        kEightBit = 1,    // uint8_t values
        kSixteenBit = 2,  // 8-bit luts: uint8_t values; 16-bit luts: uint16_t
    };
    uint8_t kind;
    uint32_t entryCount;
    const void* values;
};

// Layout: 'mft1', reserved, i, o, g, padding, 3 x 3 matrix (36 bytes),
// 256 i input bytes, g^i x o CLUT bytes, 256 o output bytes.
class Lut8Tag : public Tag {
  public:
    static bool LayoutFits(const uint8_t* data, uint32_t size);

    // Throw -2 when the layout does not fit the data.
    Lut8Tag(MemoryPool* pool, Tag* after, uint32_t signature, const uint8_t* bytes, uint32_t size);
    Lut8Tag(MemoryPool* pool, Tag* after, uint32_t signature, Tag* source);

    virtual void GetClut(uint8_t* out) const;
    // Throws -1 when count is not i, or a table's content has another entry count than
    // 256 or an unknown kind; channels before the failing one stay written.
    virtual void SetInputTables(uint32_t count, const LutTableSpec* contents);
    virtual uint8_t* Clut();
    virtual uint8_t GridPoints() const;
    virtual uint8_t* InputTables();
    virtual uint8_t* OutputTables();
    virtual uint8_t InputChannels() const;
    virtual uint8_t OutputChannels() const;

    uint32_t ClutSize() const;
};

// Layout: 'mft2', reserved, i, o, g, padding, 3 x 3 matrix, input entries n
// and output entries m (16 bits each), then 16-bit input tables (n i),
// CLUT (g^i o) and output tables (m o).
class Lut16Tag : public Tag {
  public:
    static bool LayoutFits(const uint8_t* data, uint32_t size);

    Lut16Tag(MemoryPool* pool, Tag* after, uint32_t signature, const uint8_t* bytes, uint32_t size);
    Lut16Tag(MemoryPool* pool, Tag* after, uint32_t signature, Tag* source);

    // g^i x o host-order values.
    virtual void SetClut(const uint16_t* values);
    virtual uint8_t* Clut();
    // Throw -1 when count is not i (or o), a table's content has an entry count other than n (or
    // m), or its kind is unknown.
    virtual void SetInputTables(uint32_t count, const LutTableSpec* contents);
    virtual void SetOutputTables(uint32_t count, const LutTableSpec* contents);
    virtual uint16_t InputEntries() const;
    virtual uint16_t OutputEntries() const;
    virtual uint8_t* InputTables();
    virtual uint8_t* OutputTables();
    virtual uint8_t GridPoints() const;
    virtual uint8_t InputChannels() const;
    virtual uint8_t OutputChannels() const;

    // Number of 16-bit CLUT values.
    uint32_t ClutValues() const;

  private:
    void SetTables(uint8_t* area, uint32_t tableEntries, uint32_t channels, uint32_t count,
                   const LutTableSpec* contents);
};

}  // namespace tonalis::icc
