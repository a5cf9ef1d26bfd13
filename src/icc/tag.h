// A tag of a profile: its bytes exactly as they stand in the file (beginning
// with the type signature) in a buffer of the profile's pool, or shared with
// the tag whose table entry pointed to the same bytes.
#pragma once

#include <cstdint>

#include "icc/memory_pool.h"

namespace tonalis::icc {

class Tag : public PoolObject {
  public:
    // Each constructor appends the new tag after `after` when it is given.
    // Empty: no data yet; the typed constructors start from here.
    Tag(MemoryPool* pool, Tag* after, uint32_t signature);
    // Own copy of size bytes.
    Tag(MemoryPool* pool, Tag* after, uint32_t signature, const uint8_t* bytes, uint32_t size);
    // No buffer: the data seen is the source's.
    Tag(MemoryPool* pool, Tag* after, uint32_t signature, Tag* source);

    // Unlinks the tag and frees its own buffer.
    ~Tag() override;
    // Throws -1 for a tag that both owns and shares, -4 when size differs
    // from Size().
    virtual void CopyOut(uint8_t* buffer, uint32_t size) const;
    virtual Tag* Next() const;
    virtual uint32_t Signature() const;
    // A sharing tag reports its source's current size, so that the two can
    // never disagree after the source is rewritten.
    virtual uint32_t Size() const;
    virtual Tag* Source() const;
    virtual bool HasOwnData() const;
    virtual void SetNext(Tag* tag);
    virtual void SetPrevious(Tag* tag);
    // The first four data bytes, big-endian; 0 when there are fewer.
    virtual uint32_t TypeSignature() const;

    Tag* Previous() const { return previous_; }
    // The data seen through the tag: its own buffer or its source's.
    const uint8_t* Data() const;
    // Own bytes overwritten in place; used by the profile's raw setter.
    void OverwriteData(const uint8_t* bytes);

    Tag(const Tag&) = delete;
    Tag& operator=(const Tag&) = delete;

  protected:
    uint8_t* MutableData();
    // A new zero-filled buffer of size bytes replaces the own buffer; the new
    // one is allocated before the old one is freed.
    uint8_t* ReplaceBuffer(uint32_t size);
    void SetSize(uint32_t size) { size_ = size; }
    MemoryPool* Pool() const { return pool_; }

  private:
    void LinkAfter(Tag* after);

    MemoryPool* pool_;
    uint32_t signature_;
    uint32_t size_;
    uint8_t* data_;
    Tag* source_;
    Tag* next_;
    Tag* previous_;
};

}  // namespace tonalis::icc
