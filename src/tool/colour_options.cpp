// Parsing and checking the colour values given on the command line.
#include "tool/colour_options.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "model/channel_peaks.h"
#include "model/plausible_ranges.h"
#include "model/presets.h"
#include "model/text_format.h"
#include "model/tool_error.h"
#include "model/white_point.h"
#include "resources/string_ids.h"
#include "tool/arguments.h"
#include "tool/profile_failure.h"

namespace tonalis::tool {

namespace {

// Command-line names of the preset tables, index for index.
const char* const kWhiteNames[kWhitePresetCount] = {"5000K", "5500K", "6500K", "7500K", "9300K"};
const char* const kPhosphorNames[kPhosphorPresetCount] = {"EBU/ITU", "HDTV",    "NTSC",
                                                          "P22-EBU", "SMPTE-C", "Trinitron"};
const char* const kChannelNames[3] = {"red", "green", "blue"};

// One number as typed, kept with its text so that messages quote the user.
struct Field {
    std::string text;
    double value;
};

[[noreturn]] void Reject(const char* option, const std::string& text, const std::string& why) {
    throw UsageError(Format("--%s \"%s\": %s", option, text.c_str(), why.c_str()));
}

bool SameNameIgnoringCase(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return i == a.size() && b[i] == '\0';
}

// The comma-separated numbers of an option; each must be a whole, finite
// decimal number.
std::vector<Field> Numbers(const char* option, const std::string& text) {
    std::vector<Field> fields;
    for (const std::string& word : CommaWords(text)) {
        fields.push_back({word, OptionNumber(option, text, word)});
    }
    return fields;
}

std::string RangeText(ValueRange range) {
    return Format("%g to %g", range.low, range.high);
}

std::string RangeText(const ChromaticityRange& range) {
    return "x " + RangeText(range.x) + ", y " + RangeText(range.y);
}

// x and y each within 0..1 and together at most 1.
void CheckChromaticity(const char* option, const std::string& text, const char* what,
                       const Field& x, const Field& y) {
    for (const Field* f : {&x, &y}) {
        if (!InRange(f->value, kCoordinateRange)) {
            Reject(option, text,
                   Format("%s coordinate %s is outside %s", what, f->text.c_str(),
                          RangeText(kCoordinateRange).c_str()));
        }
    }
    if (!ChromaticitySumInRange({x.value, y.value})) {
        Reject(option, text,
               Format("%s x %s and y %s add up to more than 1.0", what, x.text.c_str(),
                      y.text.c_str()));
    }
}

void CheckEach(const char* option, const std::string& text, const char* what,
               const std::vector<Field>& fields, ValueRange range) {
    for (const Field& f : fields) {
        if (!InRange(f.value, range)) {
            Reject(option, text,
                   Format("%s %s is outside %s", what, f.text.c_str(), RangeText(range).c_str()));
        }
    }
}

// One value for every channel, or one per channel.
void Triple(const char* option, const std::string& text, const char* what, ValueRange range,
            double out[3]) {
    const std::vector<Field> fields = Numbers(option, text);
    if (fields.size() != 1 && fields.size() != 3) {
        Reject(option, text, Format("expected one %s or three (red,green,blue)", what));
    }
    CheckEach(option, text, what, fields, range);
    for (int c = 0; c < 3; ++c) {
        out[c] = fields[fields.size() == 1 ? 0 : c].value;
    }
}

std::string NameList(const char* const* names, int count) {
    std::string list;
    for (int i = 0; i < count; ++i) {
        list += i == 0 ? "" : (i == count - 1 ? " or " : ", ");
        list += names[i];
    }
    return list;
}

}  // namespace

std::vector<std::string> CommaWords(const std::string& text) {
    std::vector<std::string> words;
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        words.push_back(
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) {
            return words;
        }
        start = comma + 1;
    }
}

double OptionNumber(const char* option, const std::string& text, const std::string& word) {
    const char* begin = word.c_str();
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(begin, &end);
    if (word.empty() || std::isspace(static_cast<unsigned char>(word[0])) ||
        end != begin + word.size() || !std::isfinite(value) || errno == ERANGE) {
        Reject(option, text, Format("\"%s\" is not a number", word.c_str()));
    }
    return value;
}

Chromaticity WhiteOption(const Arguments& arguments, const char* option) {
    const std::string* text = arguments.Value(option);
    if (text == nullptr) {
        return GetWhitePreset(kDefaultWhitePreset);
    }
    if (text->find(',') == std::string::npos) {
        for (int i = 0; i < kWhitePresetCount; ++i) {
            if (SameNameIgnoringCase(*text, kWhiteNames[i])) {
                return GetWhitePreset(i);
            }
        }
        Reject(option, *text,
               "unknown white point; use a preset (" + WhitePresetNames() + ") or x,y");
    }
    const std::vector<Field> fields = Numbers(option, *text);
    if (fields.size() != 2) {
        Reject(option, *text, "a white point is x,y");
    }
    CheckChromaticity(option, *text, "white point", fields[0], fields[1]);
    const Chromaticity white = {fields[0].value, fields[1].value};
    if (!WhitePointInRange(white)) {
        Reject(option, *text,
               Format("white point %s,%s is outside %s", fields[0].text.c_str(),
                      fields[1].text.c_str(), RangeText(kWhitePointRange).c_str()));
    }
    return white;
}

Chromaticity MonitorWhiteOption(const Arguments& arguments, const char* option,
                                const Chromaticity primaries[3]) {
    const Chromaticity white = WhiteOption(arguments, option);
    if (!WhiteInsideGamut(primaries, white)) {
        Reject(option, OptionText(arguments, option, kWhiteNames[kDefaultWhitePreset]),
               "white point is outside the gamut of the primaries");
    }
    return white;
}

std::string OptionText(const Arguments& arguments, const char* option, const char* fallback) {
    const std::string* text = arguments.Value(option);
    return text ? *text : std::string(fallback);
}

void PrimariesOption(const Arguments& arguments, const char* option, Chromaticity primaries[3]) {
    const std::string* text = arguments.Value(option);
    if (text == nullptr) {
        GetPhosphorPreset(kDefaultPhosphorPreset, primaries);
        return;
    }
    if (text->find(',') == std::string::npos) {
        for (int i = 0; i < kPhosphorPresetCount; ++i) {
            if (SameNameIgnoringCase(*text, kPhosphorNames[i])) {
                GetPhosphorPreset(i, primaries);
                return;
            }
        }
        Reject(option, *text,
               "unknown phosphor set; use a preset (" + PhosphorPresetNames() +
                   ") or rx,ry,gx,gy,bx,by");
    }
    const std::vector<Field> fields = Numbers(option, *text);
    if (fields.size() != 6) {
        Reject(option, *text, "a phosphor set is rx,ry,gx,gy,bx,by");
    }
    Chromaticity parsed[3];
    for (int c = 0; c < 3; ++c) {
        const Field& x = fields[2 * c];
        const Field& y = fields[2 * c + 1];
        CheckChromaticity(option, *text, kChannelNames[c], x, y);
        parsed[c] = {x.value, y.value};
        // A primary with y = 0 has no luminance, hence no XYZ to save.
        if (y.value == 0.0) {
            Reject(option, *text,
                   Format("%s y %s: ", kChannelNames[c], y.text.c_str()) +
                       StringMessage(strings::kPhosphorsOutOfRange));
        }
        if (!PhosphorInRange(static_cast<Channel>(c), parsed[c])) {
            Reject(option, *text,
                   Format("%s phosphor %s,%s is outside %s", kChannelNames[c], x.text.c_str(),
                          y.text.c_str(), RangeText(kPhosphorRanges[c]).c_str()));
        }
    }
    for (int c = 0; c < 3; ++c) {
        primaries[c] = parsed[c];
    }
}

void GammaOption(const Arguments& arguments, const char* option, double gamma[3]) {
    const std::string* text = arguments.Value(option);
    if (text == nullptr) {
        throw UsageError(Format("--%s is required", option));
    }
    Triple(option, *text, "gamma", kUserGammaRange, gamma);
}

void GammaFactorOption(const Arguments& arguments, const char* option, double factor[3]) {
    const std::string* text = arguments.Value(option);
    if (text == nullptr) {
        factor[0] = factor[1] = factor[2] = 1.0;
        return;
    }
    Triple(option, *text, "factor", kGammaFactorRange, factor);
}

uint32_t PeaksOption(const Arguments& arguments, const char* option, const uint32_t* fallback) {
    const std::string* text = arguments.Value(option);
    if (text == nullptr) {
        if (fallback == nullptr) {
            throw UsageError(Format("--%s is required", option));
        }
        return *fallback;
    }
    const std::vector<Field> fields = Numbers(option, *text);
    if (fields.size() != 3) {
        Reject(option, *text, "peaks are red,green,blue");
    }
    uint8_t peaks[3];
    for (int c = 0; c < 3; ++c) {
        const Field& f = fields[c];
        if (!(f.value >= 0 && f.value <= 255) || f.value != std::floor(f.value)) {
            Reject(option, *text,
                   Format("%s peak %s is not a whole number from 0 to 255", kChannelNames[c],
                          f.text.c_str()));
        }
        peaks[c] = static_cast<uint8_t>(f.value);
    }
    return PackPeaks(peaks[kRed], peaks[kGreen], peaks[kBlue]);
}

std::string WhitePresetNames() {
    return NameList(kWhiteNames, kWhitePresetCount);
}

std::string PhosphorPresetNames() {
    return NameList(kPhosphorNames, kPhosphorPresetCount);
}

}  // namespace tonalis::tool
