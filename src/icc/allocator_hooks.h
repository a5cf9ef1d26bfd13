// The allocator that a host hands to the ICC library. The library calls no
// system allocator of its own: every block comes from these two functions.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tonalis {

using IccAllocateFunction = void* (*)(size_t size, uintptr_t user);
using IccFreeFunction = void (*)(void* block, uintptr_t user);

// Three 32-bit words in the DLL: allocate, free, and the user word passed
// back to both.
struct AllocatorHooks {
    IccAllocateFunction allocate;
    IccFreeFunction free;
    uintptr_t user;
};

}  // namespace tonalis
