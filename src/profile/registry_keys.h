// Building blocks of the registry operations: the strings loaded for the length
// of one operation, and a chain of nested keys that closes every key it opened.
#pragma once

#include <windows.h>

#include <cstdint>

#include "profile/registry.h"

namespace tonalis {

// KEY_READ and KEY_READ | KEY_WRITE, the only access rights the applet asks for.
constexpr REGSAM kReadAccess = KEY_READ;
constexpr REGSAM kReadWriteAccess = KEY_READ | KEY_WRITE;

class ScopedRegistryStrings {
  public:
    ScopedRegistryStrings() : strings_() {}
    ~ScopedRegistryStrings() { FreeRegistryStrings(&strings_); }
    ScopedRegistryStrings(const ScopedRegistryStrings&) = delete;
    ScopedRegistryStrings& operator=(const ScopedRegistryStrings&) = delete;

    bool Load() { return LoadRegistryStrings(&strings_); }
    const char* operator[](RegistryString entry) const { return strings_.text[entry]; }

  private:
    RegistryStrings strings_;
};

// Opens or creates keys one below the other, starting at a root key that it
// never closes; the destructor closes the opened keys, innermost first.
class KeyChain {
  public:
    explicit KeyChain(HKEY root) : root_(root), count_(0) {}
    ~KeyChain();
    KeyChain(const KeyChain&) = delete;
    KeyChain& operator=(const KeyChain&) = delete;

    bool Open(const char* name, REGSAM access);
    bool Create(const char* name, REGSAM access);
    HKEY innermost() const { return count_ == 0 ? root_ : keys_[count_ - 1]; }

  private:
    static constexpr int kMaxDepth = 8;
    bool Push(LONG status, HKEY key);

    HKEY root_;
    HKEY keys_[kMaxDepth];
    int count_;
};

// HKEY_CURRENT_USER\SOFTWARE\Orvane\Tonalis for reading and writing, created
// where missing.
bool OpenUserProductKey(const ScopedRegistryStrings& strings, KeyChain* chain);

// Reads a value of at most four bytes into a number that starts at 0; the
// stored type is not examined.
bool QuerySmallValue(HKEY key, const char* name, uint32_t* value);
bool SetDwordValue(HKEY key, const char* name, uint32_t value);

}  // namespace tonalis
