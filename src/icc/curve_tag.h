// 'curv' tags: the tone curves of the three channels (and of grey).
#pragma once

#include "icc/tone_curve_tag.h"

namespace tonalis::icc {

// The gamma that a single-gamma curve keeps of this one (u8Fixed8).
double StoredGamma(double gamma);

// Layout: 'curv', 4 reserved bytes, entry count n, then n unsigned 16-bit
// entries. With n = 1 the entry is a gamma in u8Fixed8.
class CurveTag : public ToneCurveTag {
  public:
    static constexpr uint32_t kSingleGammaSize = 14;

    using ToneCurveTag::ToneCurveTag;
    CurveTag(MemoryPool* pool, Tag* after, uint32_t signature, double gamma);

    // One gamma for any 'curv'; simple is false when it had to be fitted.
    // Throws -2 for data of another type, or whose count claims more entries
    // than it holds.
    void GetGamma(double* gamma, bool* simple) const override;
    // Throws -2 under the same condition.
    virtual uint32_t EntryCount() const;
    // The first big-endian entry.
    virtual const uint8_t* Entries() const;
    // With eightBit, one byte per entry (uint8_t out[n]); otherwise the
    // entries in host order (uint16_t out[n]).
    virtual void GetTable(bool eightBit, void* out) const;

    // Makes the curve a single gamma of 14 bytes, in a new buffer when the
    // old one is shorter.
    void SetGamma(double gamma);
};

}  // namespace tonalis::icc
