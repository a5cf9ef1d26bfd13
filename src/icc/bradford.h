// Chromatic adaptation of one colour between two whites (Bradford).
#pragma once

namespace tonalis::icc {

// Adapts xyz in place from sourceWhite to destinationWhite. False, with xyz
// unchanged, when a cone response of either white is not above zero.
bool BradfordAdapt(double xyz[3], const double sourceWhite[3], const double destinationWhite[3]);

}  // namespace tonalis::icc
