// 'curv' tags and the derivation of one gamma value from any curve.
#include "icc/curve_tag.h"

#include <cstring>

#include "icc/byte_order.h"
#include "icc/exception.h"
#include "icc/table_gamma_fit.h"

namespace tonalis::icc {

namespace {

constexpr uint32_t kCountOffset = 8;
constexpr uint32_t kEntriesOffset = 12;

constexpr double kU8Fixed8Step = 0.00390625;       // 1 / 256
constexpr double kTo8Bit = 0.0038910505836575876;  // 1 / 257

uint16_t GammaToU8Fixed8(double gamma) {
    const double scaled = gamma * 256.0 + 0.5;
    if (!(scaled > 0.0)) {
        return 0;
    }
    return scaled >= 65535.0 ? 65535 : uint16_t(scaled);
}

}  // namespace

double StoredGamma(double gamma) {
    return GammaToU8Fixed8(gamma) * kU8Fixed8Step;
}

CurveTag::CurveTag(MemoryPool* pool, Tag* after, uint32_t signature, double gamma)
    : ToneCurveTag(pool, after, signature) {
    ReplaceBuffer(kSingleGammaSize);
    SetGamma(gamma);
}

uint32_t CurveTag::EntryCount() const {
    const uint32_t size = Size();
    if (size < kEntriesOffset) {
        throw Exception(kNotAcceptable, Pool());
    }
    const uint32_t count = LoadBig32(Data() + kCountOffset);
    if (count > (size - kEntriesOffset) / 2) {
        throw Exception(kNotAcceptable, Pool());
    }
    return count;
}

const uint8_t* CurveTag::Entries() const {
    return Data() + kEntriesOffset;
}

void CurveTag::GetTable(bool eightBit, void* out) const {
    const uint32_t count = EntryCount();
    const uint8_t* entries = Entries();
    for (uint32_t k = 0; k < count; ++k) {
        const uint16_t v = LoadBig16(entries + 2 * k);
        if (!eightBit) {
            static_cast<uint16_t*>(out)[k] = v;
            continue;
        }
        uint8_t level;
        if (v == 0) {
            level = 0;
        } else if (v == 65535) {
            level = 255;
        } else {
            level = uint8_t(v * kTo8Bit + 0.5);
        }
        static_cast<uint8_t*>(out)[k] = level;
    }
}

void CurveTag::GetGamma(double* gamma, bool* simple) const {
    if (TypeSignature() != Sig("curv")) {
        throw Exception(kNotAcceptable, Pool());
    }
    const uint32_t count = EntryCount();
    const uint8_t* entries = Entries();
    *simple = true;
    if (count == 0) {
        *gamma = 1.0;
        return;
    }
    if (count == 1) {
        *gamma = LoadBig16(entries) * kU8Fixed8Step;
        return;
    }
    TableGamma(entries, count, gamma, simple);
}

void CurveTag::SetGamma(double gamma) {
    uint8_t* data;
    if (!HasOwnData() || Size() < kSingleGammaSize) {
        data = ReplaceBuffer(kSingleGammaSize);
    } else {
        data = MutableData();
        if (LoadBig32(data + kCountOffset) != 1) {
            SetSize(kSingleGammaSize);
        }
    }
    // Whatever type the curve was read as, it is now a one-entry 'curv'.
    StoreBig32(data, Sig("curv"));
    StoreBig32(data + 4, 0);
    StoreBig32(data + kCountOffset, 1);
    StoreBig16(data + kEntriesOffset, GammaToU8Fixed8(gamma));
}

}  // namespace tonalis::icc
