// Prints what a perfect-eye calibration gives on simulated displays, beside
// the best any table can do and ArgyllCMS's recorded result.
//   accuracy_table                    the table
//   accuracy_table --details          what the eye set on each display
//   accuracy_table --known-losses     "id mean max" of the rows the model cannot fit
//   accuracy_table --fake-profiles D  D/<id>/fake.icc: each display as dispcal's
//                                     simulated display reads it
#include <lcms2.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "benchmark_rows.h"

namespace tonalis::accuracy {
namespace {

constexpr int kCurveSamples = 4096;

// A matrix and curves profile of the display as the eye left it.
bool WriteFakeProfile(const SimulatedDisplay& display, const std::string& path) {
    cmsToneCurve* curves[3];
    for (int c = 0; c < 3; ++c) {
        std::vector<cmsUInt16Number> samples(kCurveSamples);
        for (int i = 0; i < kCurveSamples; ++i) {
            const double light = ChannelLight(display, c, i / double(kCurveSamples - 1));
            samples[i] = cmsUInt16Number(light * 65535.0 + 0.5);
        }
        curves[c] = cmsBuildTabulatedToneCurve16(nullptr, kCurveSamples, samples.data());
    }
    const cmsCIExyY white = {display.white.x, display.white.y, 1.0};
    const cmsCIExyYTRIPLE primaries = {{display.primaries[0].x, display.primaries[0].y, 1.0},
                                       {display.primaries[1].x, display.primaries[1].y, 1.0},
                                       {display.primaries[2].x, display.primaries[2].y, 1.0}};
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    // ArgyllCMS reads version 2 only.
    if (profile != nullptr) {
        cmsSetProfileVersion(profile, 2.1);
    }
    const bool saved = profile != nullptr && cmsSaveProfileToFile(profile, path.c_str());
    if (profile != nullptr) {
        cmsCloseProfile(profile);
    }
    for (cmsToneCurve* curve : curves) {
        cmsFreeToneCurve(curve);
    }
    return saved;
}

int Run(int argc, char** argv) {
    const std::vector<BenchmarkRow> rows = RunBenchmark(kUsersTarget);
    if (argc == 2 && std::strcmp(argv[1], "--known-losses") == 0) {
        for (const BenchmarkRow& row : rows) {
            if (!row.display.modelFits) {
                std::printf("%s %.2f %.2f\n", row.display.id.c_str(), row.eye.meanDeltaE,
                            row.eye.maxDeltaE);
            }
        }
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--details") == 0) {
        for (const BenchmarkRow& row : rows) {
            const MonitorSettings& s = row.calibration.settings;
            std::printf(
                "%-12s knob %6.3f  sliders %d-%d %d-%d %d-%d  factors %.4f %.4f %.4f  "
                "hardware white %.4f,%.4f  peaks %u,%u,%u\n",
                row.display.id.c_str(), row.display.brightness, row.calibration.sliders[0].low,
                row.calibration.sliders[0].high, row.calibration.sliders[1].low,
                row.calibration.sliders[1].high, row.calibration.sliders[2].low,
                row.calibration.sliders[2].high, s.gammaFactor[0], s.gammaFactor[1],
                s.gammaFactor[2], s.hardwareWhite.x, s.hardwareWhite.y, s.whiteRgb & 0xFF,
                s.whiteRgb >> 8 & 0xFF, s.whiteRgb >> 16 & 0xFF);
        }
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "--fake-profiles") == 0) {
        for (const BenchmarkRow& row : rows) {
            const std::string folder = std::string(argv[2]) + "/" + row.display.id;
            mkdir(folder.c_str(), 0755);
            if (!WriteFakeProfile(row.display, folder + "/fake.icc")) {
                std::fprintf(stderr, "cannot write %s/fake.icc\n", folder.c_str());
                return 1;
            }
        }
        return 0;
    }
    if (argc != 1) {
        std::fprintf(stderr, "usage: %s [--details | --known-losses | --fake-profiles FOLDER]\n",
                     argv[0]);
        return 2;
    }
    std::printf(
        "Calibration to gamma %.1f and white x %.4f y %.4f on simulated displays: CIEDE2000\n"
        "over 17 greys from black to white and the 3 primaries, gamma at input 128, and\n"
        "the white and mid grey's distance from the target white in u'v'.\n\n%s",
        kUsersTarget.gamma, kUsersTarget.white.x, kUsersTarget.white.y, FormatTable(rows).c_str());
    return 0;
}

}  // namespace
}  // namespace tonalis::accuracy

int main(int argc, char** argv) {
    return tonalis::accuracy::Run(argc, argv);
}
