// The key paths and value names of the registry, from the string table.
#include "session/messages.h"
#include "profile/profile_system_calls.h"
#include "profile/registry.h"
#include "resources/string_ids.h"

namespace tonalis {

namespace {

constexpr int kFirstBufferSize = 260;
constexpr int kOtherBufferSize = 32;

constexpr int kStringIds[kRegistryStringCount] = {
    strings::kDefaultProfileTail,
    strings::kDefaultProfileTail + 1,  // SOFTWARE
    strings::kDefaultProfileTail + 2,  // maker
    strings::kDefaultProfileTail + 3,  // Color
    strings::kDefaultProfileTail + 4,  // Monitor
    strings::kDefaultProfileTail + 5,  // Monitor%u
    strings::kDefaultProfileTail + 6,  // Primary Monitor
    strings::kDefaultProfileTail + 7,  // Monitor Profile
    strings::kProductName,
    strings::kDefaultProfileTail + 10,  // WizardOrPanel
};

}  // namespace

bool LoadRegistryStrings(RegistryStrings* strings) {
    *strings = {};
    for (int i = 0; i < kRegistryStringCount; ++i) {
        int size = i == 0 ? kFirstBufferSize : kOtherBufferSize;
        auto* text = static_cast<char*>(AllocateZeroedBlock(size));
        if (text == nullptr) {
            FreeRegistryStrings(strings);
            return false;
        }
        strings->text[i] = text;
        LoadStringA(ModuleInstance(), static_cast<UINT>(kStringIds[i]), text, size);
    }
    return true;
}

void FreeRegistryStrings(RegistryStrings* strings) {
    for (char*& text : strings->text) {
        ReleaseBlock(text);
        text = nullptr;
    }
}

}  // namespace tonalis
