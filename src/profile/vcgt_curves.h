// Every form of the 'vcgt' tag that colour tools write: tables of 1 or 3
// channels with any number of 8- or 16-bit entries, and the formula form.
// The one reader of the tag: the loader, the keeper and, at 256 entries a
// channel, the applet's own settings all take the table from here.
#pragma once

#include <cstdint>
#include <vector>

#include "icc/icc_library.h"
#include "model/monitor_settings.h"

namespace tonalis {

struct VcgtCurves {
    // The table form: entries per channel as 16-bit values, 8-bit ones scaled
    // by 257 (255 becomes 65535). Empty for the formula form.
    std::vector<uint16_t> table[3];
    // The formula form: min + (max - min) x^gamma for input x from 0 to 1.
    double gamma[3] = {};
    double minimum[3] = {};
    double maximum[3] = {};
};

enum class VcgtProblem {
    kNone,
    kMissing,
    kUnknownType,   // neither a table nor a formula
    kChannels,      // a table of other than 1 or 3 channels
    kEntryCount,    // a table of fewer than 2 entries
    kEntrySize,     // entries of other than 1 or 2 bytes
    kTooShort,      // the tag ends before its table or formula does
    kFormulaGamma,  // a formula whose gamma is not above 0
};

// Fills curves from the profile's 'vcgt'; with a problem they stay untouched.
// A table of 3 channels of 256 entries whose size field says 1 in a tag of
// the exact size of the old Tonalis layout (1584 bytes) is read as 16-bit, as
// Tonalis wrote it: profiles saved before that field said 2 say 1. An 8-bit
// table of any other size, padded or not, is read as 8-bit.
VcgtProblem ReadVcgtCurves(IccProfile* profile, VcgtCurves* curves);

// size entries of a channel for a display, entry j at input j / (size - 1),
// rounded half up: tables interpolated linearly, formulas evaluated and
// clipped to 0..65535.
std::vector<uint16_t> SampleVcgtCurve(const VcgtCurves& curves, int channel, int size);

// The curves at 256 entries a channel, the size of the applet's ramp.
GammaRamp VcgtRamp(const VcgtCurves& curves);

// The straight line from 0 to 65535: every level passes unchanged.
VcgtCurves IdentityCurves();

}  // namespace tonalis
