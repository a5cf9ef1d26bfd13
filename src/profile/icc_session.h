// One use of the ICC library by the profile bridge: the hooks installed for
// as long as it lasts, at most one profile open in it, and the mapping of the
// library's codes to the strings that loading and saving report.
#pragma once

#include "resources/string_ids.h"

#include <cstdint>

#include "icc/icc_library.h"

namespace tonalis {

class IccSession {
  public:
    // Installs the platform's zero-filling allocator as the library's hooks.
    IccSession();
    // Closes the profile and removes the hooks this session installed.
    ~IccSession();
    IccSession(const IccSession&) = delete;
    IccSession& operator=(const IccSession&) = delete;

    // 0, or the library's code when the hooks could not be installed.
    int32_t InitCode() const { return initCode_; }

    // IccOpenProfile; the profile stays open until the session ends.
    int32_t Open(ProfileInfo* info);
    IccProfile* Profile() const { return profile_; }

  private:
    int32_t initCode_;
    IccProfile* profile_ = nullptr;
};

// A library code that ended a load or a save: -3 is no memory, -2 not a
// correct RGB display profile, anything else the read or write error given.
int LibraryFailureString(int32_t code, int inputOutputError);
inline int LoadFailureString(int32_t code) {
    return LibraryFailureString(code, strings::kProfileUnreadable);
}
inline int SaveFailureString(int32_t code) {
    return LibraryFailureString(code, strings::kProfileWriteError);
}

}  // namespace tonalis
