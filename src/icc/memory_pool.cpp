// Allocation pools and the process-wide allocator hooks.
#include "icc/memory_pool.h"

#include <cstring>

#include "icc/exception.h"

namespace tonalis::icc {

namespace {

AllocatorHooks g_hooks = {nullptr, nullptr, 0};
bool g_hooksInstalled = false;

constexpr size_t kRounding = 16;

BlockHeader* HeaderOf(void* area) {
    return reinterpret_cast<BlockHeader*>(static_cast<uint8_t*>(area) - sizeof(BlockHeader));
}

void* AreaOf(BlockHeader* header) {
    return reinterpret_cast<uint8_t*>(header) + sizeof(BlockHeader);
}

}  // namespace

int32_t InstallHooks(const AllocatorHooks* hooks) {
    if (g_hooksInstalled) {
        return kInternalError;
    }
    if (hooks == nullptr || hooks->allocate == nullptr || hooks->free == nullptr) {
        return kBadArgument;
    }
    g_hooks = *hooks;
    g_hooksInstalled = true;
    return kOk;
}

int32_t RemoveHooks() {
    g_hooksInstalled = false;
    return kOk;
}

bool HooksInstalled() {
    return g_hooksInstalled;
}

MemoryPool::MemoryPool(HookChoice choice)
    : head_(nullptr), allocate_(nullptr), free_(nullptr), user_(0) {
    if (choice == kWithInstalledHooks) {
        allocate_ = g_hooks.allocate;
        free_ = g_hooks.free;
        user_ = g_hooks.user;
    }
}

size_t MemoryPool::BlockSize(size_t n) {
    const size_t limit = SIZE_MAX - sizeof(BlockHeader) - (kRounding - 1);
    if (n > limit) {
        return 0;
    }
    return (n + kRounding - 1) / kRounding * kRounding + sizeof(BlockHeader);
}

void* MemoryPool::Allocate(size_t n) {
    const size_t total = BlockSize(n);
    if (total == 0 || !HasAllocator()) {
        return nullptr;
    }
    auto* header = static_cast<BlockHeader*>(allocate_(total, user_));
    if (header == nullptr) {
        return nullptr;
    }
    std::memset(header, 0, total);
    header->free = free_;
    header->user = user_;
    if (head_ == nullptr) {
        head_ = header;
    } else {
        BlockHeader* last = head_;
        while (last->next != nullptr) {
            last = last->next;
        }
        last->next = header;
        header->previous = last;
    }
    return AreaOf(header);
}

void MemoryPool::ReleaseAll() {
    BlockHeader* block = head_;
    while (block != nullptr) {
        BlockHeader* next = block->next;
        free_(block, user_);
        block = next;
    }
    head_ = nullptr;
}

void* MemoryPool::New(size_t n, MemoryPool* pool) {
    if (pool != nullptr) {
        void* area = pool->Allocate(n);
        if (area == nullptr) {
            throw Exception(kOutOfMemory, pool);
        }
        return area;
    }
    if (!g_hooksInstalled) {
        throw Exception(kInternalError, nullptr);
    }
    if (n > SIZE_MAX - sizeof(BlockHeader)) {
        throw Exception(kOutOfMemory, nullptr);
    }
    const size_t total = n + sizeof(BlockHeader);
    auto* header = static_cast<BlockHeader*>(g_hooks.allocate(total, g_hooks.user));
    if (header == nullptr) {
        throw Exception(kOutOfMemory, nullptr);
    }
    std::memset(header, 0, total);
    header->free = g_hooks.free;
    header->user = g_hooks.user;
    return AreaOf(header);
}

void MemoryPool::Free(void* area) {
    if (area == nullptr) {
        return;
    }
    BlockHeader* header = HeaderOf(area);
    if (header->previous != nullptr) {
        header->previous->next = header->next;
    }
    if (header->next != nullptr) {
        header->next->previous = header->previous;
    }
    header->free(header, header->user);
}

}  // namespace tonalis::icc
