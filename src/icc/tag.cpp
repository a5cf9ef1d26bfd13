// The generic tag: raw bytes, ownership or sharing, and the list links.
#include "icc/tag.h"

#include <cstring>

#include "icc/byte_order.h"
#include "icc/exception.h"

namespace tonalis::icc {

Tag::Tag(MemoryPool* pool, Tag* after, uint32_t signature)
    : pool_(pool),
      signature_(signature),
      size_(0),
      data_(nullptr),
      source_(nullptr),
      next_(nullptr),
      previous_(nullptr) {
    LinkAfter(after);
}

Tag::Tag(MemoryPool* pool, Tag* after, uint32_t signature, const uint8_t* bytes, uint32_t size)
    : Tag(pool, nullptr, signature) {
    data_ = static_cast<uint8_t*>(MemoryPool::New(size, pool));
    if (size > 0) {
        std::memcpy(data_, bytes, size);
    }
    size_ = size;
    LinkAfter(after);
}

Tag::Tag(MemoryPool* pool, Tag* after, uint32_t signature, Tag* source)
    : Tag(pool, after, signature) {
    source_ = source;
    size_ = source->Size();
}

Tag::~Tag() {
    if (next_ != nullptr) {
        next_->SetPrevious(previous_);
    }
    if (previous_ != nullptr) {
        previous_->SetNext(next_);
    }
    MemoryPool::Free(data_);
}

void Tag::LinkAfter(Tag* after) {
    if (after != nullptr) {
        after->SetNext(this);
        previous_ = after;
    }
}

void Tag::CopyOut(uint8_t* buffer, uint32_t size) const {
    if (data_ != nullptr && source_ != nullptr) {
        throw Exception(kInternalError, pool_);
    }
    if (size != Size()) {
        throw Exception(kBadArgument, pool_);
    }
    if (source_ != nullptr) {
        source_->CopyOut(buffer, size);
        return;
    }
    if (size > 0) {
        std::memcpy(buffer, data_, size);
    }
}

Tag* Tag::Next() const {
    return next_;
}

uint32_t Tag::Signature() const {
    return signature_;
}

uint32_t Tag::Size() const {
    return source_ != nullptr ? source_->Size() : size_;
}

Tag* Tag::Source() const {
    return source_;
}

bool Tag::HasOwnData() const {
    return data_ != nullptr;
}

void Tag::SetNext(Tag* tag) {
    next_ = tag;
}

void Tag::SetPrevious(Tag* tag) {
    previous_ = tag;
}

uint32_t Tag::TypeSignature() const {
    const uint8_t* data = Data();
    if (data == nullptr || Size() < 4) {
        return 0;
    }
    return LoadBig32(data);
}

const uint8_t* Tag::Data() const {
    return source_ != nullptr ? source_->Data() : data_;
}

uint8_t* Tag::MutableData() {
    return source_ != nullptr ? source_->MutableData() : data_;
}

void Tag::OverwriteData(const uint8_t* bytes) {
    if (data_ != nullptr && size_ > 0) {
        std::memcpy(data_, bytes, size_);
    }
}

uint8_t* Tag::ReplaceBuffer(uint32_t size) {
    auto* fresh = static_cast<uint8_t*>(MemoryPool::New(size, pool_));
    MemoryPool::Free(data_);
    data_ = fresh;
    source_ = nullptr;
    size_ = size;
    return fresh;
}

}  // namespace tonalis::icc
