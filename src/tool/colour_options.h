// Reading the tool's colour values from option text: white points, phosphor
// sets, gammas, gamma factors and channel peaks. Each check names the option
// and the offending value in its UsageError.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/monitor_settings.h"

namespace tonalis::tool {

class Arguments;

// The words of an option's text between its commas (one word without any).
std::vector<std::string> CommaWords(const std::string& text);

// One number of an option's text: a whole, finite decimal number, or a
// UsageError naming the option and its text.
double OptionNumber(const char* option, const std::string& text, const std::string& word);

// WHITE: a preset name (5000K, 5500K, 6500K, 7500K, 9300K) or "x,y" inside
// the accepted white point range; 6500K when the option is absent.
Chromaticity WhiteOption(const Arguments& arguments, const char* option);

// A monitor's own white point, as WhiteOption, that the primaries must be able
// to show (a positive amount of each).
Chromaticity MonitorWhiteOption(const Arguments& arguments, const char* option,
                                const Chromaticity primaries[3]);

// The option's text as given, or the name of its default when absent, for
// messages about the value as a whole.
std::string OptionText(const Arguments& arguments, const char* option, const char* fallback);

// SET: a phosphor preset name (EBU/ITU, HDTV, NTSC, P22-EBU, SMPTE-C,
// Trinitron) or "rx,ry,gx,gy,bx,by" inside the phosphor ranges; HDTV when the
// option is absent.
void PrimariesOption(const Arguments& arguments, const char* option, Chromaticity primaries[3]);

// One value for all channels or three, red first. The option is required.
void GammaOption(const Arguments& arguments, const char* option, double gamma[3]);
// As GammaOption, within the native gamma factor range; 1.0 when absent.
void GammaFactorOption(const Arguments& arguments, const char* option, double factor[3]);

// "R,G,B", each an integer 0 to 255, packed as whiteRgb; fallback when absent.
uint32_t PeaksOption(const Arguments& arguments, const char* option, const uint32_t* fallback);

// The preset names the tool accepts, for the help text.
std::string WhitePresetNames();
std::string PhosphorPresetNames();

}  // namespace tonalis::tool
