// Installing and removing the library's hooks around one load or save.
#include "profile/icc_session.h"

#include "icc/exception.h"
#include "resources/string_ids.h"

namespace tonalis {

IccSession::IccSession() {
    const AllocatorHooks hooks = DefaultAllocatorHooks();
    initCode_ = IccLibInit(&hooks);
}

IccSession::~IccSession() {
    IccCloseProfile(profile_);
    // Hooks that someone else installed are not ours to remove.
    if (initCode_ == 0) {
        IccLibShutdown();
    }
}

int32_t IccSession::Open(ProfileInfo* info) {
    if (profile_ != nullptr) {
        return icc::kInternalError;
    }
    return IccOpenProfile(kIccInterfaceVersion, info, &profile_);
}

int LibraryFailureString(int32_t code, int inputOutputError) {
    switch (code) {
        case icc::kOutOfMemory:
            return strings::kNoMemory;
        case icc::kNotAcceptable:
            return strings::kNotRgbDisplayProfile;
        default:
            return inputOutputError;
    }
}

}  // namespace tonalis
