// The tone curves of a monitor profile ('rTRC', 'gTRC', 'bTRC', 'kTRC'),
// whatever type their data has: one gamma value for each.
#pragma once

#include "icc/tag.h"

namespace tonalis::icc {

class ToneCurveTag : public Tag {
  public:
    using Tag::Tag;

    // One gamma for the curve; simple is false when it had to be fitted.
    // Throws -2 for data that is not a curve of the tag's class.
    virtual void GetGamma(double* gamma, bool* simple) const = 0;
};

}  // namespace tonalis::icc
