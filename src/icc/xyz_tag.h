// 'XYZ ' tags: the white and black points and the three colorants.
#pragma once

#include "icc/tag.h"

namespace tonalis::icc {

// Layout: 'XYZ ', 4 reserved bytes, then X, Y and Z as s15Fixed16.
class XYZTag : public Tag {
  public:
    static constexpr uint32_t kSize = 20;

    using Tag::Tag;
    XYZTag(MemoryPool* pool, Tag* after, uint32_t signature, double x, double y, double z);

    // Throws -2 when the data is shorter than one XYZ number.
    virtual void GetXYZ(double xyz[3]) const;

    // A buffer too short for the three values is first replaced by a fresh
    // 20-byte 'XYZ ' one.
    void SetXYZ(double x, double y, double z);
};

}  // namespace tonalis::icc
