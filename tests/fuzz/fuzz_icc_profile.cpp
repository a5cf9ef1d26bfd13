// Fuzzes the ICC library on arbitrary images as the applet hands them over:
// open, extract, update, read the 'vcgt' as the loader does, add one, write,
// close.
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "icc/byte_order.h"
#include "icc/icc_library.h"
#include "profile/vcgt_curves.h"

namespace {

constexpr uint32_t kLargestImage = 1048576;

void Exercise(tonalis::IccProfile* profile) {
    using namespace tonalis;
    ProfileInfo info = {};
    info.kind = kProfileInfoValues;
    char text[kProfileTextSize];
    info.text = text;
    uint8_t simple = 0;
    if (IccExtractInfo(kIccInterfaceVersion, profile, &info, &simple) == 0) {
        IccUpdateProfile(kIccInterfaceVersion, profile, &info);
    }
    VcgtCurves curves;
    if (ReadVcgtCurves(profile, &curves) == VcgtProblem::kNone) {
        SampleVcgtCurve(curves, 2, 1024);
    }
    std::vector<uint8_t> vcgt(1584, 0);
    icc::StoreBig32(vcgt.data(), icc::Sig("vcgt"));
    TagBuffer tag = {icc::Sig("vcgt"), uint32_t(vcgt.size()), vcgt.data()};
    IccSetTagData(profile, &tag);
    tag.data = nullptr;
    if (IccGetTagData(profile, &tag) == 0) {
        std::vector<uint8_t> copy(tag.size);
        tag.data = copy.data();
        IccGetTagData(profile, &tag);
    }
    uint32_t size = 0;
    if (IccWriteProfile(profile, nullptr, &size) == 0) {
        std::vector<uint8_t> written(size);
        IccWriteProfile(profile, written.data(), &size);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tonalis;
    if (size < 4) {
        return 0;
    }
    // The applet reads exactly the announced number of bytes, and refuses a
    // file that holds fewer or announces more than 1 MiB.
    const uint32_t announced = icc::LoadBig32(data);
    if (announced < 4 || announced > size || announced > kLargestImage) {
        return 0;
    }
    std::unique_ptr<uint8_t[]> image(new uint8_t[announced]);
    std::memcpy(image.get(), data, announced);

    const AllocatorHooks hooks = DefaultAllocatorHooks();
    if (IccLibInit(&hooks) != 0) {
        return 0;
    }
    ProfileInfo info = {};
    info.kind = kProfileInfoImage;
    info.image = image.get();
    char text[kProfileTextSize];
    info.text = text;
    IccProfile* profile = nullptr;
    if (IccOpenProfile(kIccInterfaceVersion, &info, &profile) == 0) {
        Exercise(profile);
        IccCloseProfile(profile);
    }
    IccLibShutdown();
    return 0;
}
