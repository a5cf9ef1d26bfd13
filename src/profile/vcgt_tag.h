// The private 'vcgt' tag that carries the video lookup table in a profile.
//
// Layout as written (big-endian, 1584 bytes): 'vcgt', 4 reserved bytes, gamma
// type 0 (a table) in 4 bytes, then channel count 3, entries per channel 256
// and entry size 2 in 2 bytes each, then the 768 ramp entries as 16-bit
// values (red 0-255, green, blue) from byte 18, then 30 zero bytes.
// Profiles saved before the entry size said 2 say 1 for the same 16-bit
// entries; ReadVcgtCurves knows that layout.
#pragma once

#include <cstdint>

#include "icc/icc_library.h"
#include "model/monitor_settings.h"

namespace tonalis {

constexpr uint32_t kVcgtSignature = 0x76636774;  // 'vcgt'
constexpr uint32_t kVcgtTagSize = 1584;
constexpr uint32_t kVcgtGammaTypeOffset = 8;
constexpr uint32_t kVcgtChannelCountOffset = 12;
constexpr uint32_t kVcgtEntryCountOffset = 14;
constexpr uint32_t kVcgtEntrySizeOffset = 16;
constexpr uint32_t kVcgtTableOffset = 18;
constexpr uint32_t kVcgtTableType = 0;
constexpr uint32_t kVcgtFormulaType = 1;

// Sets the tag to the ramp. An existing 'vcgt' of another size, or one that
// shared its bytes with another tag, is removed and replaced, so the profile
// never keeps a stale table. 0, or the library's code (-3 when the tag's
// buffer cannot be allocated).
int32_t WriteVcgtTag(const GammaRamp& ramp, IccProfile* profile);

// Fills the ramp from the 'vcgt' as ReadVcgtCurves reads it for the loader,
// 256 entries a channel, so that the applet starts from the table the display
// is given. A 'vcgt' the loader cannot use gives -2, and so does a missing
// one; the ramp is then untouched.
int32_t ReadVcgtTag(IccProfile* profile, GammaRamp* ramp);

}  // namespace tonalis
