// Writing and reading the lookup table in the 'vcgt' tag.
#include "profile/vcgt_tag.h"

#include "icc/byte_order.h"
#include "icc/exception.h"
#include "model/platform.h"
#include "profile/vcgt_curves.h"

namespace tonalis {

namespace {

constexpr uint16_t kVcgtChannels = 3;
constexpr uint16_t kVcgtEntriesPerChannel = kRampSize;
constexpr uint16_t kVcgtEntrySize = 2;

// A zero-filled block from the platform, released on every path.
class ScopedBlock {
  public:
    explicit ScopedBlock(uint32_t size)
        : bytes_(static_cast<uint8_t*>(platform::AllocateZeroed(size))) {}
    ~ScopedBlock() { platform::Release(bytes_); }
    ScopedBlock(const ScopedBlock&) = delete;
    ScopedBlock& operator=(const ScopedBlock&) = delete;
    uint8_t* get() const { return bytes_; }

  private:
    uint8_t* bytes_;
};

}  // namespace

int32_t WriteVcgtTag(const GammaRamp& ramp, IccProfile* profile) {
    ScopedBlock tag(kVcgtTagSize);
    uint8_t* bytes = tag.get();
    if (bytes == nullptr) {
        return icc::kOutOfMemory;
    }
    icc::StoreBig32(bytes, kVcgtSignature);
    icc::StoreBig32(bytes + kVcgtGammaTypeOffset, kVcgtTableType);
    icc::StoreBig16(bytes + kVcgtChannelCountOffset, kVcgtChannels);
    icc::StoreBig16(bytes + kVcgtEntryCountOffset, kVcgtEntriesPerChannel);
    icc::StoreBig16(bytes + kVcgtEntrySizeOffset, kVcgtEntrySize);
    for (int i = 0; i < kRampEntries; ++i) {
        icc::StoreBig16(bytes + kVcgtTableOffset + 2 * i, ramp.entries[i]);
    }
    TagBuffer buffer = {kVcgtSignature, kVcgtTagSize, bytes};
    int32_t code = IccSetTagData(profile, &buffer);
    if (code == icc::kNotAcceptable) {
        // The library overwrites only a tag of the same size that owns its
        // bytes; any other 'vcgt' makes way for the new one.
        code = IccRemoveTag(profile, kVcgtSignature);
        if (code == icc::kOk) {
            code = IccSetTagData(profile, &buffer);
        }
    }
    return code;
}

int32_t ReadVcgtTag(IccProfile* profile, GammaRamp* ramp) {
    VcgtCurves curves;
    if (ReadVcgtCurves(profile, &curves) != VcgtProblem::kNone) {
        return icc::kNotAcceptable;
    }
    *ramp = VcgtRamp(curves);
    return icc::kOk;
}

}  // namespace tonalis
