// The private tag 'nwpt' that names the monitor's own (hardware) white in a
// profile whose 'wtpt' and colorants describe the monitor through its 'vcgt'
// table. Layout: an 'XYZ ' tag of one value, the white with Y = 1.
//
// Profiles without it, older ones of ours and other programs', keep the
// hardware white in 'wtpt'.
#pragma once

#include <cstdint>

#include "icc/icc_library.h"
#include "model/monitor_settings.h"

namespace tonalis {

constexpr uint32_t kNativeWhiteSignature = 0x6E777074;  // 'nwpt'

// Sets the tag to the white. 0, or the library's code.
int32_t WriteNativeWhiteTag(Chromaticity white, IccProfile* profile);
// Removes the tag where there is one. 0, or the library's code.
int32_t RemoveNativeWhiteTag(IccProfile* profile);
// The white the tag holds as XYZ; false when there is no usable one.
bool ReadNativeWhiteTag(IccProfile* profile, double xyz[3]);

}  // namespace tonalis
