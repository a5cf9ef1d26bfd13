#include "profile/registry_keys.h"

namespace tonalis {

KeyChain::~KeyChain() {
    while (count_ > 0) {
        RegCloseKey(keys_[--count_]);
    }
}

// Called with the status of a finished call, so that the key it filled is known.
bool KeyChain::Push(LONG status, HKEY key) {
    if (status != ERROR_SUCCESS) {
        return false;
    }
    keys_[count_++] = key;
    return true;
}

bool KeyChain::Open(const char* name, REGSAM access) {
    if (count_ == kMaxDepth || name == nullptr) {
        return false;
    }
    HKEY key = nullptr;
    LONG status = RegOpenKeyExA(innermost(), name, 0, access, &key);
    return Push(status, key);
}

bool KeyChain::Create(const char* name, REGSAM access) {
    if (count_ == kMaxDepth || name == nullptr) {
        return false;
    }
    HKEY key = nullptr;
    LONG status = RegCreateKeyExA(innermost(), name, 0, nullptr, 0, access, nullptr, &key, nullptr);
    return Push(status, key);
}

bool OpenUserProductKey(const ScopedRegistryStrings& strings, KeyChain* chain) {
    return chain->Open(strings[kRegSoftware], kReadWriteAccess) &&
           chain->Create(strings[kRegMaker], kReadWriteAccess) &&
           chain->Create(strings[kRegProduct], kReadWriteAccess);
}

bool QuerySmallValue(HKEY key, const char* name, uint32_t* value) {
    DWORD read = 0;
    DWORD size = sizeof read;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&read), &size) !=
        ERROR_SUCCESS) {
        return false;
    }
    *value = read;
    return true;
}

bool SetDwordValue(HKEY key, const char* name, uint32_t value) {
    DWORD stored = value;
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&stored),
                          sizeof stored) == ERROR_SUCCESS;
}

}  // namespace tonalis
