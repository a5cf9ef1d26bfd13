// The ranges within which values may enter a calibration record, checked by the
// custom dialogs, the gamma controls, profile loading and the command-line
// tool. Every range includes both ends; a value that is not a number is never
// in range.
#pragma once

#include "model/monitor_settings.h"

namespace tonalis {

// Any x or y typed by the user: 0 to 1.
bool CoordinateInRange(double value);
// x + y at most 1.
bool ChromaticitySumInRange(Chromaticity c);
// Both coordinates in 0..1 and their sum at most 1.
bool ChromaticityValid(Chromaticity c);

// Hardware or adjusted white point: x 0.2788 to 0.3621, y 0.292 to 0.3709.
bool WhitePointInRange(Chromaticity white);

// The phosphor ranges of the red, green and blue primaries.
bool PhosphorInRange(Channel channel, Chromaticity primary);
bool PrimariesInRange(const Chromaticity primaries[3]);

// A gamma set by the user: 0.75 to 3.75.
bool UserGammaInRange(double gamma);
// A gamma read from a profile: 1.0 to 3.0.
bool ProfileGammaInRange(double gamma);
// A native gamma factor: 0.5 to 2.0.
bool GammaFactorInRange(double factor);

}  // namespace tonalis
