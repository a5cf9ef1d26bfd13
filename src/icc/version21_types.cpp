// What an update does to a profile read from a newer version before stamping
// it 2.1: every tag keeps or takes a type that ICC v2 knows, so that v2
// readers never meet a v4 type where v2 defines another.
#include <cstring>

#include "icc/byte_order.h"
#include "icc/multi_localized_text_tag.h"
#include "icc/profile.h"
#include "icc/tag_text.h"
#include "icc/text_tags.h"

namespace tonalis::icc {

namespace {

constexpr size_t kProfileIdSize = 16;  // bytes 84 to 99 of a v4 header

// The tags that v2 defines as 'desc' texts.
bool IsDescriptionSignature(uint32_t signature) {
    switch (signature) {
        case Sig("desc"):
        case Sig("dmnd"):
        case Sig("dmdd"):
        case Sig("scrd"):
        case Sig("vued"):
            return true;
        default:
            return false;
    }
}

bool IsVersion4Type(uint32_t type) {
    switch (type) {
        case Sig("mluc"):
        case Sig("para"):
        case Sig("mAB "):
        case Sig("mBA "):
        case Sig("mpet"):
        case Sig("dict"):
        case Sig("clro"):
        case Sig("clrt"):
        case Sig("cicp"):
            return true;
        default:
            return false;
    }
}

}  // namespace

void Profile::KeepVersion21Types() {
    // The profile ID is a digest of bytes that are about to change.
    std::memset(header_.reserved, 0, kProfileIdSize);
    // Each change may replace tags that shared bytes, so the walk starts
    // again after each one; it ends since every change removes a v4 type.
    for (bool changed = true; changed;) {
        changed = false;
        for (Tag* tag = head_; tag != nullptr; tag = tag->Next()) {
            const uint32_t signature = tag->Signature();
            const uint32_t type = tag->TypeSignature();
            if (type == Sig("mluc") &&
                (IsDescriptionSignature(signature) || signature == Sig("cprt"))) {
                char text[kTextBufferSize] = {};
                ReadTagText(tag, text);
                Tag* fresh;
                if (IsDescriptionSignature(signature)) {
                    // The Unicode part keeps what the ASCII part cannot.
                    const uint8_t* unicode = nullptr;
                    uint32_t units = 0;
                    if (const auto* localized = dynamic_cast<MultiLocalizedTextTag*>(tag)) {
                        units = localized->GetUnicode(&unicode);
                    }
                    fresh = new (&pool_)
                        TextDescriptionTag(&pool_, nullptr, signature, text, unicode, units);
                } else {
                    fresh = new (&pool_) TextTag(&pool_, nullptr, signature, text);
                }
                ReplaceTag(tag, fresh);
            } else if (signature == Sig("chad") ||
                       (IsVersion4Type(type) && !IsRequiredTag(signature))) {
                // A 'chad' would tell readers of an adaptation that the new
                // colorants no longer carry: they are Bradford-adapted from
                // the white in 'wtpt', as v2 has it.
                Unlink(tag);
            } else {
                continue;
            }
            changed = true;
            break;
        }
    }
}

}  // namespace tonalis::icc
