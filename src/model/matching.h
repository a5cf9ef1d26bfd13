// Recognising a value as a preset, and the tests for "one gamma for all
// channels" and for unsaved changes.
#pragma once

#include "model/monitor_settings.h"

namespace tonalis {

constexpr double kChromaticityTolerance = 0.0012;
constexpr double kGammaTolerance = 0.01;

// Both tolerances include their bound. Values typed as decimals differ from a
// preset by a hair more than the bound in binary (0.3140 - 0.3128 is
// 0.00120000000000003), so the bound is widened by far less than the last
// digit anyone can type.
constexpr double kToleranceSlack = 1e-9;

bool ChromaticityMatches(Chromaticity a, Chromaticity b);
bool GammaMatches(double a, double b);

// Indexes past the preset table stand for the custom entry, which every value
// matches; a negative index (no selection) matches nothing.
bool WhiteMatchesPreset(Chromaticity white, int index);
bool PhosphorsMatchPreset(const Chromaticity primaries[3], int index);
bool GammaMatchesPreset(double gamma, int index);

// Whether the record can be shown as one gamma for all three channels.
bool ChannelsMatch(const MonitorSettings& settings);

// The same matched points, drives within a hundredth of a level.
bool ToneMatchesEqual(const ToneMatch& a, const ToneMatch& b);

// The unsaved-changes test, matched tone points included. The adjusted
// white point, the ramp and the monitor's identity take no part.
bool SettingsEqual(const MonitorSettings& a, const MonitorSettings& b);

}  // namespace tonalis
