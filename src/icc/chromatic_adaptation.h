// 'chad' tags: the adaptation from the media white to the PCS illuminant
// that a profile applied to its colorants (and, in v4, to its white).
#pragma once

#include "icc/tag.h"

namespace tonalis::icc {

// Layout: 'sf32', 4 reserved bytes, then a 3 x 3 matrix of s15Fixed16 row by
// row, which takes a column XYZ under the media white to the PCS.
class ChromaticAdaptationTag : public Tag {
  public:
    static constexpr uint32_t kSize = 44;

    using Tag::Tag;

    // The matrix that undoes the adaptation. Throws -2 for data of another
    // type, shorter than the matrix, or a matrix that cannot be inverted.
    void GetInverse(double inverse[3][3]) const;
};

// xyz = m x xyz, with xyz as a column.
void ApplyMatrix(const double m[3][3], double xyz[3]);

}  // namespace tonalis::icc
