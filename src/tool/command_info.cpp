// tonalis info: the settings that the applet takes from a monitor profile.
#include <string>

#include "model/channel_peaks.h"
#include "model/starting_record.h"
#include "model/text_format.h"
#include "profile/load_monitor_profile.h"
#include "tool/arguments.h"
#include "tool/command.h"
#include "tool/json_writer.h"
#include "tool/profile_failure.h"

namespace tonalis::tool {

namespace {

const char* const kChannelNames[3] = {"red", "green", "blue"};

void Point(JsonWriter* json, const char* key, Chromaticity point) {
    json->Key(key);
    json->BeginObject();
    json->Key("x");
    json->Number(point.x);
    json->Key("y");
    json->Number(point.y);
    json->EndObject();
}

std::string InfoJson(const MonitorSettings& s, bool vcgt) {
    JsonWriter json;
    json.BeginObject();
    json.Key("description");
    json.String(s.description);
    json.Triple("gamma", s.gamma);
    json.Key("primaries");
    json.BeginObject();
    for (int c = 0; c < 3; ++c) {
        Point(&json, kChannelNames[c], s.primaries[c]);
    }
    json.EndObject();
    Point(&json, "hardwareWhite", s.hardwareWhite);
    Point(&json, "adjustedWhite", s.adjustedWhite);
    json.Key("whiteRgb");
    json.Integer(s.whiteRgb);
    json.Key("peaks");
    json.BeginArray();
    for (int c = 0; c < 3; ++c) {
        json.Integer(PeakOf(s.whiteRgb, Channel(c)));
    }
    json.EndArray();
    json.Triple("gammaFactor", s.gammaFactor);
    json.Key("vcgt");
    json.Bool(vcgt);
    json.EndObject();
    return json.Text();
}

std::string InfoText(const MonitorSettings& s, bool vcgt) {
    const Chromaticity* p = s.primaries;
    return Format("description     %s\n", s.description) +
           Format("gamma           %.6f  %.6f  %.6f\n", s.gamma[0], s.gamma[1], s.gamma[2]) +
           Format("primaries       red %.6f,%.6f  green %.6f,%.6f  blue %.6f,%.6f\n", p[0].x,
                  p[0].y, p[1].x, p[1].y, p[2].x, p[2].y) +
           Format("hardware white  %.6f,%.6f\n", s.hardwareWhite.x, s.hardwareWhite.y) +
           Format("adjusted white  %.6f,%.6f\n", s.adjustedWhite.x, s.adjustedWhite.y) +
           Format("peaks           %d,%d,%d  (whiteRgb %u)\n", PeakOf(s.whiteRgb, kRed),
                  PeakOf(s.whiteRgb, kGreen), PeakOf(s.whiteRgb, kBlue), s.whiteRgb) +
           Format("gamma factor    %.6f  %.6f  %.6f\n", s.gammaFactor[0], s.gammaFactor[1],
                  s.gammaFactor[2]) +
           Format("vcgt            %s\n", vcgt ? "yes" : "no");
}

int RunInfo(const Arguments& arguments, std::string* out) {
    const std::string& path = ProfileOperand(arguments);
    MonitorSettings settings = StartingRecord();
    const int loaded = LoadMonitorProfile(path.c_str(), &settings);
    if (loaded != 0) {
        ThrowProfileFailure(loaded, path);
    }
    GammaRamp table;
    bool vcgt = false;
    const int read = ReadProfileRamp(path.c_str(), &table, &vcgt);
    if (read != 0) {
        ThrowProfileFailure(read, path);
    }
    *out = arguments.Has("json") ? InfoJson(settings, vcgt) : InfoText(settings, vcgt);
    return 0;
}

}  // namespace

extern const Command kInfoCommand = {
    "info",
    "info PROFILE [--json]",
    "Loads an RGB monitor profile as the applet does and prints its settings:\n"
    "description (in UTF-8: the Unicode text when the profile has one), gammas,\n"
    "primaries, hardware and adjusted white points, the channel peaks, the native\n"
    "gamma factors, and whether it has a usable 'vcgt' table. Peaks and factors\n"
    "come from that table; without one, from an identity table. A profile the\n"
    "applet refuses prints the message and string number and exits with status 2.\n"
    "  --json  {\"description\":TEXT,\"gamma\":[R,G,B],\"primaries\":{\"red\":{\"x\":X,\n"
    "          \"y\":Y},\"green\":{...},\"blue\":{...}},\"hardwareWhite\":{\"x\":X,\"y\":Y},\n"
    "          \"adjustedWhite\":{...},\"whiteRgb\":N,\"peaks\":[R,G,B],\n"
    "          \"gammaFactor\":[R,G,B],\"vcgt\":true|false}\n",
    nullptr,
    0,
    RunInfo,
    "PROFILE",
};

}  // namespace tonalis::tool
