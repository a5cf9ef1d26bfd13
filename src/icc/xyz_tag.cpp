// 'XYZ ' tags.
#include "icc/xyz_tag.h"

#include "icc/byte_order.h"
#include "icc/exception.h"

namespace tonalis::icc {

namespace {

constexpr uint32_t kValuesOffset = 8;

}  // namespace

XYZTag::XYZTag(MemoryPool* pool, Tag* after, uint32_t signature, double x, double y, double z)
    : Tag(pool, after, signature) {
    StoreBig32(ReplaceBuffer(kSize), Sig("XYZ "));
    SetXYZ(x, y, z);
}

void XYZTag::GetXYZ(double xyz[3]) const {
    if (Size() < kSize) {
        throw Exception(kNotAcceptable, Pool());
    }
    const uint8_t* values = Data() + kValuesOffset;
    for (int i = 0; i < 3; ++i) {
        xyz[i] = S15Fixed16ToDouble(int32_t(LoadBig32(values + 4 * i)));
    }
}

void XYZTag::SetXYZ(double x, double y, double z) {
    if (!HasOwnData() || Size() < kSize) {
        StoreBig32(ReplaceBuffer(kSize), Sig("XYZ "));
    }
    uint8_t* values = MutableData() + kValuesOffset;
    const double xyz[3] = {x, y, z};
    for (int i = 0; i < 3; ++i) {
        StoreBig32(values + 4 * i, uint32_t(DoubleToS15Fixed16(xyz[i])));
    }
}

}  // namespace tonalis::icc
