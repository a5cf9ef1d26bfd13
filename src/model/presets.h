// The preset tables of the calibration model (white points, phosphor sets,
// target gammas) with the string resources that name them in the lists.
#pragma once

#include "model/monitor_settings.h"
#include "resources/string_ids.h"

namespace tonalis {

struct WhitePreset {
    int stringId;
    Chromaticity white;
};

struct PhosphorPreset {
    int stringId;
    Chromaticity primaries[3];  // red, green, blue
};

struct GammaPreset {
    int stringId;
    double gamma;
};

constexpr int kWhitePresetCount = 5;
constexpr int kPhosphorPresetCount = 6;
constexpr int kGammaPresetCount = 2;

// The entries a new monitor record starts with: 6500K, HDTV and 2.2.
constexpr int kDefaultWhitePreset = 2;
constexpr int kDefaultPhosphorPreset = 1;
constexpr int kDefaultGammaPreset = 1;

// The string of the custom entry ends each list; the adjusted white point list
// also starts with strings::kSameAsHardware, shifting its presets by one.
inline constexpr WhitePreset kWhitePresets[kWhitePresetCount] = {
    {strings::kFirstWhitePreset + 0, {0.3457, 0.3587}},  // 5000K, warm white
    {strings::kFirstWhitePreset + 1, {0.3325, 0.3476}},  // 5500K
    {strings::kFirstWhitePreset + 2, {0.3128, 0.3292}},  // 6500K, daylight
    {strings::kFirstWhitePreset + 3, {0.2991, 0.3150}},  // 7500K
    {strings::kFirstWhitePreset + 4, {0.2831, 0.2970}},  // 9300K, cool white
};

inline constexpr PhosphorPreset kPhosphorPresets[kPhosphorPresetCount] = {
    {strings::kFirstPhosphorPreset + 0, {{0.64, 0.33}, {0.29, 0.60}, {0.15, 0.06}}},      // EBU/ITU
    {strings::kFirstPhosphorPreset + 1, {{0.64, 0.33}, {0.30, 0.60}, {0.15, 0.06}}},      // HDTV
    {strings::kFirstPhosphorPreset + 2, {{0.67, 0.33}, {0.21, 0.71}, {0.14, 0.08}}},      // NTSC
    {strings::kFirstPhosphorPreset + 3, {{0.63, 0.34}, {0.295, 0.605}, {0.155, 0.077}}},  // P22-EBU
    {strings::kFirstPhosphorPreset + 4, {{0.63, 0.34}, {0.31, 0.595}, {0.155, 0.07}}},    // SMPTE-C
    {strings::kFirstPhosphorPreset + 5,
     {{0.625, 0.34}, {0.28, 0.595}, {0.155, 0.07}}},  // Trinitron
};

inline constexpr GammaPreset kGammaPresets[kGammaPresetCount] = {
    {strings::kFirstGammaPreset + 0, 1.8},  // Macintosh default
    {strings::kFirstGammaPreset + 1, 2.2},  // Windows default
};

// An index outside a table gives that table's default entry rather than
// reading past its end.
Chromaticity GetWhitePreset(int index);
void GetPhosphorPreset(int index, Chromaticity primaries[3]);
double GetGammaPreset(int index);

}  // namespace tonalis
