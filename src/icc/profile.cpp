// The profile container: reading an image, building, updating, writing.
#include "icc/profile.h"

#include <cstring>

#include "icc/byte_order.h"
#include "icc/chromatic_adaptation.h"
#include "icc/copyright_text.h"
#include "icc/curve_tag.h"
#include "icc/exception.h"
#include "icc/lut_tags.h"
#include "icc/multi_localized_text_tag.h"
#include "icc/parametric_curve_tag.h"
#include "icc/tag_text.h"
#include "icc/text_tags.h"
#include "icc/xyz_tag.h"

namespace tonalis::icc {

namespace {

constexpr int32_t kD50Illuminant[3] = {0x0000F6D6, 0x00010000, 0x0000D32D};

// Bounds on what one image may make the reader build, so that a hostile
// file of 1 MiB cannot take minutes (the list and pool walks are linear per
// tag) or gigabytes (typed tags copy their bytes once per table entry).
// LittleCMS refuses more than 100 tags; real profiles stay far below both.
constexpr uint32_t kMaxTagCount = 1024;
constexpr uint64_t kCopyFactor = 16;

constexpr uint64_t Align4Wide(uint64_t n) {
    return (n + 3) / 4 * 4;
}

// Tags made with their own copy whatever the table says, and rewritten (and
// resized) by the setters: another tag never shares their buffer.
bool IsTypedCopy(uint32_t signature) {
    switch (signature) {
        case Sig("cprt"):
        case Sig("desc"):
        case Sig("rTRC"):
        case Sig("gTRC"):
        case Sig("bTRC"):
        case Sig("kTRC"):
        case Sig("rXYZ"):
        case Sig("gXYZ"):
        case Sig("bXYZ"):
        case Sig("wtpt"):
        case Sig("bkpt"):
        case Sig("chad"):
            return true;
        default:
            return false;
    }
}

bool IsLutSignature(uint32_t signature) {
    switch (signature) {
        case Sig("A2B0"):
        case Sig("A2B1"):
        case Sig("A2B2"):
        case Sig("B2A0"):
        case Sig("B2A1"):
        case Sig("B2A2"):
        case Sig("gamt"):
            return true;
        default:
            return false;
    }
}

struct TagEntry {
    uint32_t signature;
    uint32_t offset;
    uint32_t size;
};

TagEntry EntryAt(const uint8_t* table, uint32_t i) {
    const uint8_t* entry = table + i * kTagEntrySize;
    return {LoadBig32(entry), LoadBig32(entry + 4), LoadBig32(entry + 8)};
}

void StoreEntry(uint8_t* entry, uint32_t signature, uint32_t offset, uint32_t size) {
    StoreBig32(entry, signature);
    StoreBig32(entry + 4, offset);
    StoreBig32(entry + 8, size);
}

// The tag made for each table entry while reading, in a pool block that
// goes back when reading ends.
class TagsByEntry {
  public:
    TagsByEntry(MemoryPool* pool, uint32_t count)
        : tags_(static_cast<Tag**>(MemoryPool::New(size_t(count) * sizeof(Tag*), pool))) {}
    ~TagsByEntry() { MemoryPool::Free(tags_); }
    Tag*& operator[](uint32_t i) { return tags_[i]; }

    TagsByEntry(const TagsByEntry&) = delete;
    TagsByEntry& operator=(const TagsByEntry&) = delete;

  private:
    Tag** tags_;
};

}  // namespace

bool IsRequiredTag(uint32_t signature) {
    switch (signature) {
        case Sig("cprt"):
        case Sig("desc"):
        case Sig("wtpt"):
        case Sig("rTRC"):
        case Sig("gTRC"):
        case Sig("bTRC"):
        case Sig("rXYZ"):
        case Sig("gXYZ"):
        case Sig("bXYZ"):
            return true;
        default:
            return false;
    }
}

Profile::Profile(const MemoryPool& poolTemplate, const uint8_t* image, uint32_t extent)
    : copyrightIsOurs_(0), pool_(poolTemplate), header_(), head_(nullptr) {
    try {
        ReadImage(image, extent);
    } catch (...) {
        DestroyTags();
        throw;
    }
}

Profile::Profile(const MemoryPool& poolTemplate, const double white[3], const double black[3],
                 const char* description, int32_t intent)
    : copyrightIsOurs_(0), pool_(poolTemplate), header_(), head_(nullptr) {
    header_.manufacturer = Sig("none");
    header_.model = 0;
    for (int i = 0; i < 3; ++i) {
        header_.illuminant[i] = kD50Illuminant[i];
    }
    ApplyHeaderDefaults(intent);
    try {
        if (FormatCopyrightTextIfEmpty()) {
            copyrightIsOurs_ = 1;
        }
        Adopt(new (&pool_) TextTag(&pool_, nullptr, Sig("cprt"), CopyrightText()));
        Adopt(new (&pool_)
                  TextDescriptionTag(&pool_, LastTag(), Sig("desc"),
                                     description != nullptr ? description : kDefaultDescription));
        Adopt(new (&pool_) XYZTag(&pool_, LastTag(), Sig("wtpt"), white[0], white[1], white[2]));
        Adopt(new (&pool_) XYZTag(&pool_, LastTag(), Sig("bkpt"), black[0], black[1], black[2]));
    } catch (...) {
        DestroyTags();
        throw;
    }
}

Profile::~Profile() {
    DestroyTags();
}

void Profile::DestroyTags() {
    while (head_ != nullptr) {
        Tag* next = head_->Next();
        delete head_;
        head_ = next;
    }
}

void Profile::Adopt(Tag* tag) {
    if (head_ == nullptr) {
        head_ = tag;
    }
}

// Every offset and size is checked against the extent before it is used.
void Profile::ReadImage(const uint8_t* image, uint32_t extent) {
    if (image == nullptr || extent < kTagTableOffset) {
        throw Failure(kNotAcceptable);
    }
    header_ = HeaderFromImage(image);
    const uint32_t count = LoadBig32(image + kTagCountOffset);
    if (count > (extent - kTagTableOffset) / kTagEntrySize || count > kMaxTagCount) {
        throw Failure(kNotAcceptable);
    }
    const uint8_t* table = image + kTagTableOffset;
    uint64_t serialisedSize = Align4Wide(kTagTableOffset + uint64_t(kTagEntrySize) * count);
    const uint64_t copyLimit = kCopyFactor * uint64_t(extent);

    TagsByEntry made(&pool_, count);
    Tag* last = nullptr;
    for (uint32_t i = 0; i < count; ++i) {
        const TagEntry entry = EntryAt(table, i);
        if (entry.size > extent || entry.offset > extent - entry.size) {
            throw Failure(kNotAcceptable);
        }
        // The tag made for the first entry with the same bytes, if earlier.
        Tag* candidate = nullptr;
        for (uint32_t j = 0; j < i; ++j) {
            const TagEntry earlier = EntryAt(table, j);
            if (earlier.offset == entry.offset && earlier.size == entry.size) {
                if (!IsTypedCopy(made[j]->Signature())) {
                    candidate = made[j];
                }
                break;
            }
        }
        if (candidate == nullptr || IsTypedCopy(entry.signature)) {
            serialisedSize += Align4Wide(entry.size);
            if (serialisedSize > copyLimit) {
                throw Failure(kNotAcceptable);
            }
        }
        Tag* tag = MakeTag(entry.signature, image + entry.offset, entry.size, candidate, last);
        Adopt(tag);
        made[i] = tag;
        last = tag;
    }
    if (!MeetsCommonRule()) {
        throw Failure(kNotAcceptable);
    }
}

Tag* Profile::MakeTag(uint32_t signature, const uint8_t* bytes, uint32_t size,
                      Tag* sharingCandidate, Tag* after) {
    MemoryPool* pool = &pool_;
    // The named tags take their class from the type where it has several.
    const uint32_t type = size >= 4 ? LoadBig32(bytes) : 0;
    switch (signature) {
        case Sig("cprt"):
            copyrightIsOurs_ = 0;
            if (type == Sig("mluc")) {
                return new (pool) MultiLocalizedTextTag(pool, after, signature, bytes, size);
            }
            return new (pool) TextTag(pool, after, signature, bytes, size);
        case Sig("desc"):
            if (type == Sig("mluc")) {
                return new (pool) MultiLocalizedTextTag(pool, after, signature, bytes, size);
            }
            return new (pool) TextDescriptionTag(pool, after, signature, bytes, size);
        case Sig("rTRC"):
        case Sig("gTRC"):
        case Sig("bTRC"):
        case Sig("kTRC"):
            if (type == Sig("para")) {
                return new (pool) ParametricCurveTag(pool, after, signature, bytes, size);
            }
            return new (pool) CurveTag(pool, after, signature, bytes, size);
        case Sig("rXYZ"):
        case Sig("gXYZ"):
        case Sig("bXYZ"):
        case Sig("wtpt"):
        case Sig("bkpt"):
            return new (pool) XYZTag(pool, after, signature, bytes, size);
        case Sig("chad"):
            return new (pool) ChromaticAdaptationTag(pool, after, signature, bytes, size);
        default:
            break;
    }
    if (type == Sig("mluc")) {
        return sharingCandidate != nullptr
                   ? new (pool) MultiLocalizedTextTag(pool, after, signature, sharingCandidate)
                   : new (pool) MultiLocalizedTextTag(pool, after, signature, bytes, size);
    }
    if (IsLutSignature(signature)) {
        // A table that does not fit its data is kept as raw bytes.
        if (type == Sig("mft1") && Lut8Tag::LayoutFits(bytes, size)) {
            return sharingCandidate != nullptr
                       ? new (pool) Lut8Tag(pool, after, signature, sharingCandidate)
                       : new (pool) Lut8Tag(pool, after, signature, bytes, size);
        }
        if (type == Sig("mft2") && Lut16Tag::LayoutFits(bytes, size)) {
            return sharingCandidate != nullptr
                       ? new (pool) Lut16Tag(pool, after, signature, sharingCandidate)
                       : new (pool) Lut16Tag(pool, after, signature, bytes, size);
        }
    }
    return sharingCandidate != nullptr ? new (pool) Tag(pool, after, signature, sharingCandidate)
                                       : new (pool) Tag(pool, after, signature, bytes, size);
}

bool Profile::MeetsCommonRule() const {
    if (FindTag(Sig("desc")) == nullptr || FindTag(Sig("cprt")) == nullptr) {
        return false;
    }
    return header_.deviceClass == Sig("link") || FindTag(Sig("wtpt")) != nullptr;
}

void Profile::ApplyHeaderDefaults(int32_t intent) {
    header_.size = 0;
    header_.cmmType = Sig("ORVN");
    header_.version = kVersion21;
    StampLocalTime(header_.dateTime);
    header_.fileSignature = Sig("acsp");
    header_.platform = Sig("MSFT");
    header_.intent = uint32_t(intent);
    header_.creator = Sig("ORVN");
}

void Profile::PcsIlluminant(double xyz[3]) const {
    for (int i = 0; i < 3; ++i) {
        xyz[i] = S15Fixed16ToDouble(header_.illuminant[i]);
    }
}

uint32_t Profile::ComputeSize() const {
    uint64_t total = Align4Wide(kTagTableOffset + uint64_t(kTagEntrySize) * TagCount());
    for (Tag* tag = head_; tag != nullptr; tag = tag->Next()) {
        if (tag->HasOwnData()) {
            total += Align4Wide(tag->Size());
        }
    }
    if (total > UINT32_MAX) {
        throw Exception(kInternalError, const_cast<MemoryPool*>(&pool_));
    }
    return uint32_t(total);
}

void Profile::WriteTo(uint8_t* buffer, uint32_t size) const {
    const uint32_t computed = ComputeSize();
    if (buffer == nullptr || size != computed) {
        throw Exception(kBadArgument, const_cast<MemoryPool*>(&pool_));
    }
    std::memset(buffer, 0, size);
    ProfileHeader header = header_;
    header.size = computed;
    HeaderToImage(header, buffer);

    const uint32_t count = TagCount();
    StoreBig32(buffer + kTagCountOffset, count);
    uint8_t* entry = buffer + kTagTableOffset;
    uint32_t position = kTagTableOffset + kTagEntrySize * count;
    for (Tag* owner = head_; owner != nullptr; owner = owner->Next()) {
        if (!owner->HasOwnData()) {
            if (owner->Source() == nullptr) {
                throw Exception(kInternalError, const_cast<MemoryPool*>(&pool_));
            }
            continue;
        }
        position = Align4(position);
        const uint32_t ownerSize = owner->Size();
        StoreEntry(entry, owner->Signature(), position, ownerSize);
        entry += kTagEntrySize;
        owner->CopyOut(buffer + position, ownerSize);
        // Sharing tags follow their source in the table, pointing at its data.
        for (Tag* sharer = head_; sharer != nullptr; sharer = sharer->Next()) {
            if (!sharer->HasOwnData() && sharer->Source() == owner) {
                StoreEntry(entry, sharer->Signature(), position, sharer->Size());
                entry += kTagEntrySize;
            }
        }
        position += ownerSize;
    }
}

int32_t Profile::GetTagData(uint32_t signature, uint8_t* buffer, uint32_t* size) const {
    Tag* tag = FindTag(signature);
    if (tag == nullptr) {
        return kNotAcceptable;
    }
    if (buffer == nullptr) {
        *size = tag->Size();
    } else {
        tag->CopyOut(buffer, *size);
    }
    return kOk;
}

Tag* Profile::FindTag(uint32_t signature) const {
    for (Tag* tag = head_; tag != nullptr; tag = tag->Next()) {
        if (tag->Signature() == signature) {
            return tag;
        }
    }
    return nullptr;
}

uint32_t Profile::TagCount() const {
    uint32_t count = 0;
    for (Tag* tag = head_; tag != nullptr; tag = tag->Next()) {
        ++count;
    }
    return count;
}

int32_t Profile::SetTagData(uint32_t signature, const uint8_t* data, uint32_t size) {
    Tag* tag = FindTag(signature);
    if (tag == nullptr) {
        Adopt(new (&pool_) Tag(&pool_, LastTag(), signature, data, size));
        return kOk;
    }
    if (!tag->HasOwnData() || tag->Size() != size) {
        throw Failure(kNotAcceptable);
    }
    if (HasSharers(tag)) {
        // Rewriting the bytes in place would change the tags that share them.
        ReplaceTag(tag, new (&pool_) Tag(&pool_, nullptr, signature, data, size));
        return kOk;
    }
    tag->OverwriteData(data);
    return kOk;
}

bool Profile::HasSharers(const Tag* tag) const {
    for (Tag* other = head_; other != nullptr; other = other->Next()) {
        if (other != tag && other->Source() == tag) {
            return true;
        }
    }
    return false;
}

void Profile::RemoveTag(uint32_t signature) {
    Tag* tag = FindTag(signature);
    if (tag == nullptr || IsRequiredTag(signature)) {
        throw Failure(kNotAcceptable);
    }
    Unlink(tag);
}

void Profile::Unlink(Tag* tag) {
    // Stand-ins for the tags that shared its bytes, all made before anything
    // changes: the first takes its own copy, the others share that copy. They
    // wait in a chain of their own until they take their places.
    Tag* heir = nullptr;
    Tag* lastMade = nullptr;
    try {
        for (Tag* sharer = head_; sharer != nullptr; sharer = sharer->Next()) {
            if (sharer == tag || sharer->Source() != tag) {
                continue;
            }
            lastMade = heir == nullptr
                           ? new (&pool_)
                                 Tag(&pool_, nullptr, sharer->Signature(), tag->Data(), tag->Size())
                           : new (&pool_) Tag(&pool_, lastMade, sharer->Signature(), heir);
            if (heir == nullptr) {
                heir = lastMade;
            }
        }
    } catch (...) {
        while (heir != nullptr) {
            Tag* next = heir->Next();
            delete heir;
            heir = next;
        }
        throw;
    }
    Tag* fresh = heir;
    for (Tag* sharer = head_; sharer != nullptr && fresh != nullptr;) {
        Tag* nextSharer = sharer->Next();
        if (sharer != tag && sharer->Source() == tag) {
            Tag* nextFresh = fresh->Next();
            ReplaceInList(sharer, fresh);
            fresh = nextFresh;
        }
        sharer = nextSharer;
    }
    if (head_ == tag) {
        head_ = tag->Next();
    }
    delete tag;
}

void Profile::ReplaceTag(Tag* old, Tag* fresh) {
    Tag* next = old->Next();
    fresh->SetPrevious(old);
    fresh->SetNext(next);
    old->SetNext(fresh);
    if (next != nullptr) {
        next->SetPrevious(fresh);
    }
    Unlink(old);
}

void Profile::ReplaceInList(Tag* old, Tag* fresh) {
    Tag* previous = old->Previous();
    Tag* next = old->Next();
    delete old;
    fresh->SetPrevious(previous);
    fresh->SetNext(next);
    if (previous != nullptr) {
        previous->SetNext(fresh);
    } else {
        head_ = fresh;
    }
    if (next != nullptr) {
        next->SetPrevious(fresh);
    }
}

int32_t Profile::ReadDescription(ProfileInfo* info) const {
    const Tag* description = FindTag(Sig("desc"));
    char text[kProfileTextSize];
    if (!ReadTagUnicodeText(description, text)) {
        return kNotAcceptable;
    }
    if (info->text != nullptr) {
        std::memcpy(info->text, text, kProfileTextSize);
    }
    info->intent = int32_t(header_.intent);
    return kOk;
}

uint32_t Profile::Flags() const {
    return header_.flags;
}

Tag* Profile::LastTag() const {
    Tag* last = head_;
    while (last != nullptr && last->Next() != nullptr) {
        last = last->Next();
    }
    return last;
}

void Profile::UpdateCommon(const double white[3], const double black[3], const char* description,
                           int32_t intent, const char* plainName) {
    if (!MeetsCommonRule()) {
        throw Failure(kNotAcceptable);
    }
    KeepVersion21Types();
    auto* whitePoint = FindTyped<XYZTag>(Sig("wtpt"));
    if (whitePoint == nullptr) {
        throw Failure(kNotAcceptable);
    }
    if (description != nullptr) {
        auto* stored = FindTyped<TextDescriptionTag>(Sig("desc"));
        if (stored == nullptr) {
            throw Failure(kNotAcceptable);
        }
        stored->SetText(description, plainName);
    }
    whitePoint->SetXYZ(white[0], white[1], white[2]);
    Tag* blackTag = FindTag(Sig("bkpt"));
    if (auto* blackPoint = dynamic_cast<XYZTag*>(blackTag)) {
        blackPoint->SetXYZ(black[0], black[1], black[2]);
    } else if (blackTag == nullptr && (black[0] != 0.0 || black[1] != 0.0 || black[2] != 0.0)) {
        Adopt(new (&pool_) XYZTag(&pool_, LastTag(), Sig("bkpt"), black[0], black[1], black[2]));
    }
    ApplyHeaderDefaults(intent);
    UpdateCopyright();
}

void Profile::UpdateCopyright() {
    Tag* tag = FindTag(Sig("cprt"));
    if (tag == nullptr) {
        if (FormatCopyrightTextIfEmpty()) {
            copyrightIsOurs_ = 1;
        }
        Adopt(new (&pool_) TextTag(&pool_, LastTag(), Sig("cprt"), CopyrightText()));
        return;
    }
    auto* copyright = dynamic_cast<TextTag*>(tag);
    if (copyright == nullptr) {
        return;
    }
    if (copyrightIsOurs_ != 0) {
        copyright->SetText(CopyrightText(), TextTag::kReplace);
    } else {
        copyright->SetText(kModifiedSuffix, TextTag::kAppend);
    }
}

}  // namespace tonalis::icc
