// The entry points: argument checks, the allocator hooks, and the boundary
// at which exceptions become codes.
#include "icc/icc_library.h"

#include "icc/byte_order.h"
#include "icc/display_profile.h"
#include "icc/exception.h"
#include "icc/memory_pool.h"
#include "model/platform.h"

namespace tonalis {

using icc::Exception;
using icc::MemoryPool;
using icc::RgbDisplayProfile;

namespace {

void* PlatformAllocate(size_t size, uintptr_t) {
    return platform::AllocateZeroed(size);
}

void PlatformFree(void* block, uintptr_t) {
    platform::Release(block);
}

// Runs one operation and turns whatever it throws into a code.
template <class Operation>
int32_t Guarded(Operation operation) {
    try {
        return operation();
    } catch (const Exception& e) {
        return e.Code();
    } catch (...) {
        return icc::kInternalError;
    }
}

}  // namespace

AllocatorHooks DefaultAllocatorHooks() {
    return {PlatformAllocate, PlatformFree, 0};
}

int32_t IccLibInit(const AllocatorHooks* hooks) {
    return icc::InstallHooks(hooks);
}

int32_t IccLibShutdown() {
    return icc::RemoveHooks();
}

int32_t IccOpenProfile(int32_t version, ProfileInfo* info, IccProfile** profile) {
    if (info == nullptr || profile == nullptr || version != kIccInterfaceVersion) {
        return icc::kBadArgument;
    }
    *profile = nullptr;
    if (info->kind != kProfileInfoValues && info->kind != kProfileInfoImage) {
        return icc::kBadArgument;
    }
    if (info->kind == kProfileInfoImage && info->image == nullptr) {
        return icc::kBadArgument;
    }
    MemoryPool pool(MemoryPool::kWithInstalledHooks);
    if (!pool.HasAllocator()) {
        return icc::kInternalError;
    }
    const int32_t code = Guarded([&] {
        if (info->kind == kProfileInfoImage) {
            // The announced size is the extent of the image.
            const uint32_t extent = icc::LoadBig32(info->image);
            RgbDisplayProfile* opened = new (&pool) RgbDisplayProfile(pool, info->image, extent);
            *profile = opened;
            return opened->ReadDescription(info);
        }
        *profile = new (&pool) RgbDisplayProfile(pool, info);
        return int32_t(icc::kOk);
    });
    if (code != icc::kOk) {
        // The profile's own pool shares this chain: every block made on the
        // way goes, the profile object first among them.
        pool.ReleaseAll();
        *profile = nullptr;
    }
    return code;
}

int32_t IccCloseProfile(IccProfile* profile) {
    if (profile == nullptr) {
        return icc::kOk;
    }
    MemoryPool pool = profile->Pool();
    if (!pool.HasAllocator()) {
        return icc::kInternalError;
    }
    pool.ReleaseAll();
    return icc::kOk;
}

int32_t IccWriteProfile(IccProfile* profile, uint8_t* buffer, uint32_t* size) {
    if (profile == nullptr || size == nullptr) {
        return icc::kBadArgument;
    }
    return Guarded([&] {
        if (buffer == nullptr) {
            *size = profile->ComputeSize();
        } else {
            profile->WriteTo(buffer, *size);
        }
        return int32_t(icc::kOk);
    });
}

int32_t IccExtractInfo(int32_t version, IccProfile* profile, ProfileInfo* info,
                       uint8_t* simpleGamma) {
    if (profile == nullptr || info == nullptr || simpleGamma == nullptr ||
        version != kIccInterfaceVersion) {
        return icc::kBadArgument;
    }
    return Guarded([&] { return profile->ExtractInfo(info, simpleGamma); });
}

int32_t IccUpdateProfile(int32_t version, IccProfile* profile, ProfileInfo* info) {
    if (profile == nullptr || info == nullptr) {
        return icc::kInternalError;
    }
    if (version != kIccInterfaceVersion) {
        return icc::kBadArgument;
    }
    return Guarded([&] {
        profile->UpdateInfo(info);
        return int32_t(icc::kOk);
    });
}

int32_t IccGetTagData(IccProfile* profile, TagBuffer* tag) {
    if (profile == nullptr || tag == nullptr) {
        return icc::kInternalError;
    }
    return Guarded([&] { return profile->GetTagData(tag->signature, tag->data, &tag->size); });
}

int32_t IccSetTagData(IccProfile* profile, const TagBuffer* tag) {
    if (profile == nullptr || tag == nullptr) {
        return icc::kInternalError;
    }
    if (tag->data == nullptr && tag->size > 0) {
        return icc::kBadArgument;
    }
    return Guarded([&] { return profile->SetTagData(tag->signature, tag->data, tag->size); });
}

int32_t IccRemoveTag(IccProfile* profile, uint32_t signature) {
    if (profile == nullptr) {
        return icc::kInternalError;
    }
    return Guarded([&] {
        profile->RemoveTag(signature);
        return int32_t(icc::kOk);
    });
}

}  // namespace tonalis
