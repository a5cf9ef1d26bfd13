// Allocation pools: every object of one profile is a block in that profile's
// pool, so a profile is released in one sweep, also half way through a
// failed read or build.
#pragma once

#include <cstddef>
#include <cstdint>

#include "icc/allocator_hooks.h"

namespace tonalis::icc {

// The process-wide hooks. Install fails with -1 when already installed and
// with -4 for a null record or function; Remove clears only the flag.
int32_t InstallHooks(const AllocatorHooks* hooks);
int32_t RemoveHooks();
bool HooksInstalled();

// Precedes every block handed out: four pointer-sized fields, 16 bytes in
// the 32-bit DLL. previous and next stay null for unpooled blocks.
struct BlockHeader {
    IccFreeFunction free;
    uintptr_t user;
    BlockHeader* previous;
    BlockHeader* next;
};

class MemoryPool {
  public:
    enum HookChoice { kWithoutHooks, kWithInstalledHooks };

    // Takes a copy of the process-wide hooks, whatever their flag says, when
    // asked to.
    explicit MemoryPool(HookChoice choice = kWithoutHooks);
    // Copies share the chain of blocks. The destructor releases nothing.
    MemoryPool(const MemoryPool&) = default;
    MemoryPool& operator=(const MemoryPool&) = default;
    virtual ~MemoryPool() = default;

    bool HasAllocator() const { return allocate_ != nullptr && free_ != nullptr; }

    // A zero-filled area of n bytes appended to the chain, or null.
    void* Allocate(size_t n);
    // Frees every block of the chain; no destructor runs. The pool is empty
    // afterwards.
    void ReleaseAll();

    BlockHeader* Head() const { return head_; }

    // Bytes taken from the allocate hook for a request of n bytes: the area
    // rounded up to 16 plus the header. 0 when that does not fit in size_t.
    static size_t BlockSize(size_t n);

    // An area of n bytes in the pool, or unpooled from the process-wide hooks
    // when pool is null. Throws -3 when out of memory, -1 for an unpooled
    // request without installed hooks.
    static void* New(size_t n, MemoryPool* pool);
    // Unlinks the block from its chain and releases it through the hook in
    // its own header. Null does nothing. The pool's head is never touched:
    // it is the profile object, released only by ReleaseAll.
    static void Free(void* area);

  private:
    BlockHeader* head_;
    IccAllocateFunction allocate_;
    IccFreeFunction free_;
    uintptr_t user_;
};

// Root of every profile and tag class: made in a pool, freed back to it.
class PoolObject {
  public:
    virtual ~PoolObject() = default;

    static void* operator new(size_t size, MemoryPool* pool) { return MemoryPool::New(size, pool); }
    // Used when a constructor throws.
    static void operator delete(void* area, MemoryPool*) { MemoryPool::Free(area); }
    static void operator delete(void* area) { MemoryPool::Free(area); }

    static void* operator new(size_t) = delete;
    static void* operator new[](size_t) = delete;
};

}  // namespace tonalis::icc
