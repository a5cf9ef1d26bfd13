// Writing and reading the monitor's own white in the 'nwpt' tag.
#include "profile/native_white_tag.h"

#include <cmath>

#include "icc/byte_order.h"
#include "icc/exception.h"
#include "model/colorimetry.h"

namespace tonalis {

namespace {

constexpr uint32_t kXyzType = 0x58595A20;  // 'XYZ '
constexpr uint32_t kTagSize = 20;
constexpr uint32_t kValuesOffset = 8;

}  // namespace

int32_t WriteNativeWhiteTag(Chromaticity white, IccProfile* profile) {
    Tristimulus xyz;
    if (!CheckedXyToXyz(white, &xyz)) {
        return icc::kBadArgument;
    }
    uint8_t bytes[kTagSize] = {};
    icc::StoreBig32(bytes, kXyzType);
    const double values[3] = {xyz.X, xyz.Y, xyz.Z};
    for (int i = 0; i < 3; ++i) {
        icc::StoreBig32(bytes + kValuesOffset + 4 * i,
                        uint32_t(icc::DoubleToS15Fixed16(values[i])));
    }
    // The old one makes way, whatever its size.
    const int32_t removed = RemoveNativeWhiteTag(profile);
    if (removed != icc::kOk) {
        return removed;
    }
    TagBuffer buffer = {kNativeWhiteSignature, kTagSize, bytes};
    return IccSetTagData(profile, &buffer);
}

int32_t RemoveNativeWhiteTag(IccProfile* profile) {
    TagBuffer buffer = {kNativeWhiteSignature, 0, nullptr};
    if (IccGetTagData(profile, &buffer) != icc::kOk) {
        return icc::kOk;  // none to remove
    }
    return IccRemoveTag(profile, kNativeWhiteSignature);
}

bool ReadNativeWhiteTag(IccProfile* profile, double xyz[3]) {
    uint8_t bytes[kTagSize] = {};
    TagBuffer buffer = {kNativeWhiteSignature, 0, nullptr};
    if (IccGetTagData(profile, &buffer) != icc::kOk || buffer.size != kTagSize) {
        return false;
    }
    buffer.data = bytes;
    if (IccGetTagData(profile, &buffer) != icc::kOk || icc::LoadBig32(bytes) != kXyzType) {
        return false;
    }
    double values[3];
    for (int i = 0; i < 3; ++i) {
        values[i] = icc::S15Fixed16ToDouble(int32_t(icc::LoadBig32(bytes + kValuesOffset + 4 * i)));
    }
    if (!(values[1] > 0.0) || !(values[0] + values[1] + values[2] > 0.0)) {
        return false;
    }
    for (int i = 0; i < 3; ++i) {
        xyz[i] = values[i];
    }
    return true;
}

}  // namespace tonalis
