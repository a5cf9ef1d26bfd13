// The ranges within which values may enter a calibration record, checked by the
// custom dialogs, the gamma controls, profile loading and the command-line
// tool. Every range includes both ends; a value that is not a number is never
// in range.
#pragma once

#include "model/monitor_settings.h"

namespace tonalis {

struct ValueRange {
    double low;
    double high;
};

struct ChromaticityRange {
    ValueRange x;
    ValueRange y;
};

inline constexpr ValueRange kCoordinateRange = {0.0, 1.0};
inline constexpr ChromaticityRange kWhitePointRange = {{0.2788, 0.3621}, {0.292, 0.3709}};
inline constexpr ChromaticityRange kPhosphorRanges[3] = {
    {{0.59, 0.77}, {0.25, 0.40}},  // red
    {{0.05, 0.35}, {0.5, 0.85}},   // green
    {{0.11, 0.2}, {0.0, 0.12}},    // blue
};
inline constexpr ValueRange kUserGammaRange = {0.75, 3.75};
// Every gamma a user may save loads again.
inline constexpr ValueRange kProfileGammaRange = kUserGammaRange;
inline constexpr ValueRange kGammaFactorRange = {0.5, 2.0};

bool InRange(double value, ValueRange range);
bool InRange(Chromaticity c, const ChromaticityRange& range);

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
// A gamma read from a profile: as a user may set it, 0.75 to 3.75.
bool ProfileGammaInRange(double gamma);
// A native gamma factor: 0.5 to 2.0.
bool GammaFactorInRange(double factor);

}  // namespace tonalis
