// The failure that travels inside the ICC library; the entry points catch it
// and return its code.
#pragma once

#include <cstdint>

namespace tonalis::icc {

class MemoryPool;

enum ErrorCode : int32_t {
    kOk = 0,
    kInternalError = -1,  // hooks, tag consistency, lut shape, unusable build values
    kNotAcceptable = -2,  // not an RGB display profile, tag missing, size mismatch
    kOutOfMemory = -3,
    kBadArgument = -4,
};

class Exception {
  public:
    Exception(int32_t code, MemoryPool* pool) : code_(code), pool_(pool) {}

    int32_t Code() const { return code_; }
    // The pool of the profile in which the failure happened, or null. Its
    // chain is what the open entry point releases.
    MemoryPool* Pool() const { return pool_; }

  private:
    int32_t code_;
    MemoryPool* pool_;
};

}  // namespace tonalis::icc
