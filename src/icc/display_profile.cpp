// Monitor profiles and the conversion between calibration values and RGB
// monitor profiles.
#include "icc/display_profile.h"

#include <cmath>
#include <cstring>

#include "icc/bradford.h"
#include "icc/byte_order.h"
#include "icc/chromatic_adaptation.h"
#include "icc/curve_tag.h"
#include "icc/exception.h"
#include "icc/known_phosphors.h"
#include "icc/text_tags.h"
#include "icc/xyz_tag.h"

namespace tonalis::icc {

namespace {

constexpr uint32_t kTrcSignatures[3] = {Sig("rTRC"), Sig("gTRC"), Sig("bTRC")};
constexpr uint32_t kColorantSignatures[3] = {Sig("rXYZ"), Sig("gXYZ"), Sig("bXYZ")};

constexpr uint32_t kVersion4 = 0x04000000;
// Two steps of s15Fixed16: writers round D50 either way.
constexpr double kIlluminantMatch = 2.0 / 65536.0;

int32_t IntentOrZero(int32_t intent) {
    return intent >= 0 && intent <= 3 ? intent : 0;
}

// The record's text, read no further than its 256-byte buffer, or the
// default when it is empty; null stays null.
class RecordText {
  public:
    explicit RecordText(const char* text) : isNull_(text == nullptr) {
        if (isNull_) {
            return;
        }
        const void* zero = std::memchr(text, 0, kProfileTextSize - 1);
        const size_t length =
            zero != nullptr ? size_t(static_cast<const char*>(zero) - text) : kProfileTextSize - 1;
        std::memcpy(text_, text, length);
        text_[length] = '\0';
        if (length == 0) {
            std::strcpy(text_, kDefaultDescription);
        }
    }
    const char* Get() const { return isNull_ ? nullptr : text_; }

  private:
    bool isNull_;
    char text_[kProfileTextSize] = {};
};

// Whether 'wtpt' holds the white adapted to the PCS, as v4 has it, rather
// than the media white itself, as v2 has it (where a 'chad' adapted only the
// colorants). A v2 profile that stores the PCS illuminant is taken as
// adapted too: its media white is behind the 'chad' as well.
bool WhiteIsAdapted(uint32_t version, const double white[3], const double illuminant[3]) {
    if (version >= kVersion4) {
        return true;
    }
    for (int i = 0; i < 3; ++i) {
        if (std::fabs(white[i] - illuminant[i]) > kIlluminantMatch) {
            return false;
        }
    }
    return true;
}

const char* DescriptionOrDefault(const RecordText& text) {
    return text.Get() != nullptr ? text.Get() : kDefaultDescription;
}

}  // namespace

DisplayProfile::DisplayProfile(const MemoryPool& poolTemplate, const uint8_t* image,
                               uint32_t extent)
    : Profile(poolTemplate, image, extent) {
    if (!MeetsDisplayRule(false)) {
        throw Failure(kNotAcceptable);
    }
}

DisplayProfile::DisplayProfile(const MemoryPool& poolTemplate, const double white[3],
                               const double black[3], const char* description, int32_t intent)
    : Profile(poolTemplate, white, black, description, intent) {
    MutableHeader().deviceClass = Sig("mntr");
    MutableHeader().pcs = Sig("XYZ ");
}

bool DisplayProfile::MeetsDisplayRule(bool acceptLab) const {
    const ProfileHeader& header = Header();
    return header.deviceClass == Sig("mntr") &&
           (header.pcs == Sig("XYZ ") || (acceptLab && header.pcs == Sig("Lab ")));
}

RgbDisplayProfile::RgbDisplayProfile(const MemoryPool& poolTemplate, const uint8_t* image,
                                     uint32_t extent)
    : DisplayProfile(poolTemplate, image, extent) {
    if (!MeetsRgbRule()) {
        throw Failure(kNotAcceptable);
    }
}

// The record is a kProfileInfoValues one; the caller checked its kind.
RgbDisplayProfile::RgbDisplayProfile(const MemoryPool& poolTemplate, ProfileInfo* info)
    : DisplayProfile(poolTemplate, info->white, info->black,
                     DescriptionOrDefault(RecordText(info->text)), IntentOrZero(info->intent)) {
    MutableHeader().colorSpace = Sig("RGB ");
    if (info->white[0] == 0.0 || info->white[2] == 0.0) {
        throw Failure(kInternalError);
    }
    for (int c = 0; c < 3; ++c) {
        Adopt(new (&Pool()) CurveTag(&Pool(), LastTag(), kTrcSignatures[c], info->gamma[c]));
    }
    double adapted[3][3];
    AdaptedPrimaries(*info, adapted);
    for (int c = 0; c < 3; ++c) {
        Adopt(new (&Pool()) XYZTag(&Pool(), LastTag(), kColorantSignatures[c], adapted[c][0],
                                   adapted[c][1], adapted[c][2]));
    }
    if (ReadDescription(info) != kOk) {
        throw Failure(kInternalError);
    }
}

bool RgbDisplayProfile::MeetsRgbRule() const {
    if (Header().colorSpace != Sig("RGB ")) {
        return false;
    }
    for (int c = 0; c < 3; ++c) {
        if (FindTyped<ToneCurveTag>(kTrcSignatures[c]) == nullptr ||
            FindTyped<XYZTag>(kColorantSignatures[c]) == nullptr) {
            return false;
        }
    }
    return true;
}

void RgbDisplayProfile::AdaptedPrimaries(const ProfileInfo& info, double adapted[3][3]) const {
    double illuminant[3];
    PcsIlluminant(illuminant);
    for (int c = 0; c < 3; ++c) {
        std::memcpy(adapted[c], info.primaries[c], sizeof adapted[c]);
        BradfordAdapt(adapted[c], info.white, illuminant);
    }
}

void RgbDisplayProfile::UpdateInfo(ProfileInfo* info) {
    if (info->kind != kProfileInfoValues || info->white[0] == 0.0 || info->white[2] == 0.0) {
        throw Failure(kBadArgument);
    }
    if (!MeetsRgbRule() || !MeetsDisplayRule(true)) {
        throw Failure(kNotAcceptable);
    }
    const RecordText text(info->text);
    UpdateCommon(info->white, info->black, text.Get(), IntentOrZero(info->intent), info->plainName);
    for (int c = 0; c < 3; ++c) {
        // A curve of another type becomes a one-entry 'curv'.
        if (auto* curve = FindTyped<CurveTag>(kTrcSignatures[c])) {
            curve->SetGamma(info->gamma[c]);
        } else {
            Tag* old = RequireTyped<ToneCurveTag>(kTrcSignatures[c]);
            ReplaceTag(old,
                       new (&Pool()) CurveTag(&Pool(), nullptr, kTrcSignatures[c], info->gamma[c]));
        }
    }
    double adapted[3][3];
    AdaptedPrimaries(*info, adapted);
    for (int c = 0; c < 3; ++c) {
        RequireTyped<XYZTag>(kColorantSignatures[c])
            ->SetXYZ(adapted[c][0], adapted[c][1], adapted[c][2]);
    }
    if (ReadDescription(info) != kOk) {
        throw Failure(kInternalError);
    }
}

int32_t RgbDisplayProfile::ExtractInfo(ProfileInfo* info, uint8_t* simpleGamma) const {
    if (info->kind != kProfileInfoValues) {
        return kBadArgument;
    }
    if (!MeetsCommonRule() || !MeetsDisplayRule(true) || !MeetsRgbRule()) {
        return kNotAcceptable;
    }
    ReadDescription(info);

    *simpleGamma = 1;
    for (int c = 0; c < 3; ++c) {
        bool simple;
        RequireTyped<ToneCurveTag>(kTrcSignatures[c])->GetGamma(&info->gamma[c], &simple);
        if (!simple) {
            *simpleGamma = 0;
        }
    }

    RequireTyped<XYZTag>(Sig("wtpt"))->GetXYZ(info->white);
    if (const auto* black = FindTyped<XYZTag>(Sig("bkpt"))) {
        black->GetXYZ(info->black);
    } else {
        info->black[0] = info->black[1] = info->black[2] = 0.0;
    }

    double stored[3][3];
    for (int c = 0; c < 3; ++c) {
        RequireTyped<XYZTag>(kColorantSignatures[c])->GetXYZ(stored[c]);
    }
    double illuminant[3];
    PcsIlluminant(illuminant);

    // A profile that says how it adapted needs no guess.
    if (const auto* adaptation = FindTyped<ChromaticAdaptationTag>(Sig("chad"))) {
        double inverse[3][3];
        adaptation->GetInverse(inverse);
        if (WhiteIsAdapted(Header().version, info->white, illuminant)) {
            ApplyMatrix(inverse, info->white);
            ApplyMatrix(inverse, info->black);
        }
        for (int c = 0; c < 3; ++c) {
            std::memcpy(info->primaries[c], stored[c], sizeof info->primaries[c]);
            ApplyMatrix(inverse, info->primaries[c]);
        }
        return kOk;
    }

    // Candidate A undoes a Bradford adaptation to the illuminant.
    double a[3][3];
    bool aUsable = true;
    for (int c = 0; c < 3; ++c) {
        std::memcpy(a[c], stored[c], sizeof a[c]);
        aUsable = aUsable && BradfordAdapt(a[c], illuminant, info->white);
    }
    // Candidate B undoes a plain scaling of X and Z.
    double b[3][3];
    for (int c = 0; c < 3; ++c) {
        for (int i = 0; i < 3; ++i) {
            double v = stored[c][i];
            v = v < 0.0 ? 0.0 : (v > kLargestColorantComponent ? kLargestColorantComponent : v);
            b[c][i] = v;
        }
        b[c][0] *= info->white[0] / illuminant[0];
        b[c][2] *= info->white[2] / illuminant[2];
    }

    const double(*chosen)[3] = b;
    if (aUsable) {
        if (MatchesKnownPhosphors(a)) {
            chosen = a;
        } else if (!MatchesKnownPhosphors(b)) {
            chosen = a;
        }
    }
    std::memcpy(info->primaries, chosen, sizeof info->primaries);
    return kOk;
}

}  // namespace tonalis::icc
