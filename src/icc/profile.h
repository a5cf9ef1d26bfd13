// A profile in memory: its header in host order and a doubly linked list of
// tags, all in the profile's own pool.
#pragma once

#include <cstdint>

#include "icc/exception.h"
#include "icc/memory_pool.h"
#include "icc/profile_header.h"
#include "icc/tag.h"
#include "icc/profile_info.h"

namespace tonalis::icc {

constexpr uint32_t kVersion21 = 0x02100000;
constexpr const char kDefaultDescription[] = "RGB Display Profile";

// The tags whose loss would break the common rule or the RGB rule.
bool IsRequiredTag(uint32_t signature);

// The profile object is the first block of its pool: the caller makes it
// with new (&poolTemplate), and the profile's embedded pool copies that
// template, so that releasing any copy of the pool releases the profile and
// everything in it. No destructor runs on release; the destructor is for the
// failure paths of the constructors.
class Profile : public PoolObject {
  public:
    // Reads a complete image of extent bytes; tag data is copied into the
    // pool. Throws -2 for an image whose tag table or tag data reach past
    // the extent, with more than 1024 tags, whose copies would exceed 16
    // times the extent, or that breaks the common rule.
    Profile(const MemoryPool& poolTemplate, const uint8_t* image, uint32_t extent);
    // A new profile with 'cprt', 'desc', 'wtpt' and 'bkpt'.
    Profile(const MemoryPool& poolTemplate, const double white[3], const double black[3],
            const char* description, int32_t intent);

    // Destroys every tag in list order.
    ~Profile() override;
    // Serialises into exactly ComputeSize() bytes; -4 for another size.
    virtual void WriteTo(uint8_t* buffer, uint32_t size) const;
    virtual uint32_t ComputeSize() const;
    // -2 when no tag has the signature. A null buffer asks for the size;
    // otherwise exactly *size bytes are copied (another size throws -4).
    virtual int32_t GetTagData(uint32_t signature, uint8_t* buffer, uint32_t* size) const;
    virtual Tag* FindTag(uint32_t signature) const;
    virtual uint32_t TagCount() const;
    // Adds a generic tag, or overwrites an owning tag of the same size;
    // throws -2 otherwise.
    virtual int32_t SetTagData(uint32_t signature, const uint8_t* data, uint32_t size);
    // Removes the tag; tags that shared its bytes keep a copy of them. Throws
    // -2 when there is none, or when it is one that an RGB monitor profile
    // cannot be without ('desc', 'cprt', 'wtpt', the TRCs and colorants).
    void RemoveTag(uint32_t signature);
    // Description text in UTF-8 (when info->text is set) and rendering
    // intent; -2 without a 'desc'.
    virtual int32_t ReadDescription(ProfileInfo* info) const;
    virtual uint32_t Flags() const;
    virtual Tag* LastTag() const;

    // Rewrites the common tags and header fields, as a version 2.1 profile
    // (see KeepVersion21Types); a null description leaves the stored text.
    // plainName: see ProfileInfo. Throws -2 when the common rule does not hold.
    void UpdateCommon(const double white[3], const double black[3], const char* description,
                      int32_t intent, const char* plainName = nullptr);

    const ProfileHeader& Header() const { return header_; }
    MemoryPool& Pool() { return pool_; }
    Tag* FirstTag() const { return head_; }
    bool CopyrightIsOurs() const { return copyrightIsOurs_ != 0; }

    // The profile's block heads its pool and goes only with ReleaseAll.
    static void operator delete(void*) {}
    static void operator delete(void*, MemoryPool*) {}

    Profile(const Profile&) = delete;
    Profile& operator=(const Profile&) = delete;

  protected:
    ProfileHeader& MutableHeader() { return header_; }
    void ApplyHeaderDefaults(int32_t intent);
    // 'desc' and 'cprt', and 'wtpt' unless the class is 'link'.
    bool MeetsCommonRule() const;
    void PcsIlluminant(double xyz[3]) const;
    // The tag with that signature when it has the expected class.
    template <class T>
    T* FindTyped(uint32_t signature) const {
        return dynamic_cast<T*>(FindTag(signature));
    }
    // The same, throwing -2 when there is none.
    template <class T>
    T* RequireTyped(uint32_t signature) const {
        T* tag = FindTyped<T>(signature);
        if (tag == nullptr) {
            throw Exception(kNotAcceptable, const_cast<MemoryPool*>(&pool_));
        }
        return tag;
    }
    // Records a tag that its constructor appended after LastTag().
    void Adopt(Tag* tag);
    // Puts fresh, made unlinked, where old stands and removes old as
    // RemoveTag does.
    void ReplaceTag(Tag* old, Tag* fresh);
    Exception Failure(int32_t code) { return Exception(code, &pool_); }

  private:
    void ReadImage(const uint8_t* image, uint32_t extent);
    Tag* MakeTag(uint32_t signature, const uint8_t* bytes, uint32_t size, Tag* sharingCandidate,
                 Tag* after);
    void UpdateCopyright();
    // The header and tags of a profile stamped 2.1 hold no ICC v4 types:
    // 'mluc' texts become 'desc' or 'text' tags, 'chad' and the other tags
    // of v4-only types go (the required ones stay: the RGB update replaces
    // its tone curves), and the v4 profile ID, reserved in v2, is zeroed.
    void KeepVersion21Types();
    // Takes the tag out of the list and destroys it; tags that shared its
    // bytes get copies of them first.
    void Unlink(Tag* tag);
    bool HasSharers(const Tag* tag) const;
    void DestroyTags();
    // Puts fresh where old stands in the list and destroys old.
    void ReplaceInList(Tag* old, Tag* fresh);

    uint8_t copyrightIsOurs_;
    MemoryPool pool_;
    ProfileHeader header_;
    Tag* head_;
};

}  // namespace tonalis::icc
