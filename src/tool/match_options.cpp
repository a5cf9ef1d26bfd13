// Parsing and checking the matched points given on the command line.
#include "tool/match_options.h"

#include <cmath>
#include <string>
#include <vector>

#include "model/matched_points.h"
#include "model/plausible_ranges.h"
#include "model/text_format.h"
#include "model/tool_error.h"
#include "tool/arguments.h"
#include "tool/colour_options.h"

namespace tonalis::tool {

namespace {

[[noreturn]] void Reject(const char* option, const std::string& text, const std::string& why) {
    throw UsageError(Format("--%s \"%s\": %s", option, text.c_str(), why.c_str()));
}

std::vector<TonePoint> Points(const char* option, const std::string& text) {
    std::vector<TonePoint> points;
    for (const std::string& pair : CommaWords(text)) {
        const size_t colon = pair.find(':');
        if (colon == std::string::npos) {
            Reject(option, text, Format("\"%s\" is not F:D", pair.c_str()));
        }
        const double fraction = OptionNumber(option, text, pair.substr(0, colon));
        const double drive = OptionNumber(option, text, pair.substr(colon + 1));
        if (!(fraction >= 0.0 && fraction <= 1.0)) {
            Reject(option, text, Format("the fraction %g is not 0 to 1", fraction));
        }
        if (!(drive >= 0.0 && drive <= 255.0)) {
            Reject(option, text, Format("the drive level %g is not 0 to 255", drive));
        }
        points.push_back({fraction, drive});
    }
    return points;
}

void ApplyToChannel(const char* option, const std::string& text,
                    const std::vector<TonePoint>& points, MonitorSettings* settings, int c) {
    double factor = settings->gammaFactor[c];
    ToneMatch match = {};
    if (!SetMatchedPoints(points.data(), static_cast<int>(points.size()), &factor, &match)) {
        Reject(option, text,
               Format("the drive levels must rise with the fractions, between the end "
                      "steps, at most %d points between them",
                      kMaxTonePoints - 2));
    }
    if (!(factor >= kGammaFactorRange.low && factor <= kGammaFactorRange.high)) {
        Reject(option, text,
               Format("the half lies at native gamma factor %.3f, outside %g to %g", factor,
                      kGammaFactorRange.low, kGammaFactorRange.high));
    }
    settings->gammaFactor[c] = factor;
    settings->toneMatch[c] = match;
}

}  // namespace

void MatchOptions(const Arguments& arguments, MonitorSettings* settings) {
    static const char* const kChannelOptions[3] = {"match-red", "match-green", "match-blue"};
    if (const std::string* text = arguments.Value("match")) {
        const std::vector<TonePoint> points = Points("match", *text);
        for (int c = 0; c < 3; ++c) {
            ApplyToChannel("match", *text, points, settings, c);
        }
    }
    for (int c = 0; c < 3; ++c) {
        if (const std::string* text = arguments.Value(kChannelOptions[c])) {
            ApplyToChannel(kChannelOptions[c], *text, Points(kChannelOptions[c], *text), settings,
                           c);
        }
    }
}

}  // namespace tonalis::tool
