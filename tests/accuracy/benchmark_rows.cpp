// Running the benchmark and printing its table.
#include "benchmark_rows.h"

#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace tonalis::accuracy {

namespace {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
    char text[256];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    return text;
}

// The worst, by mean, of the calibrations with each slider at either end of
// its best positions.
Accuracy WorstOfTheTies(const BenchmarkRow& row, const Target& target) {
    Accuracy worst = row.eye;
    const int channels = row.calibration.oneGrey ? 1 : 3;
    for (int corner = 0; corner < (1 << channels); ++corner) {
        int positions[3];
        for (int c = 0; c < 3; ++c) {
            const SliderMatch& match = row.calibration.sliders[c];
            const int bit = row.calibration.oneGrey ? 0 : c;
            positions[c] = (corner >> bit & 1) != 0 ? match.high : match.low;
        }
        const MonitorSettings settings =
            WithSliders(row.display, row.calibration, target, positions);
        const Accuracy a = Measure(row.display, DrivesOf(settings.ramp), target);
        if (a.meanDeltaE > worst.meanDeltaE) {
            worst = a;
        }
    }
    return worst;
}

}  // namespace

std::string RecordedFolder() {
    return std::string(TONALIS_SOURCE_DIR) + "/tests/accuracy/recorded";
}

std::vector<BenchmarkRow> RunBenchmark(const Target& target) {
    std::vector<BenchmarkRow> rows;
    for (SimulatedDisplay& display : BenchmarkDisplays()) {
        BenchmarkRow row;
        row.calibration = CalibrateByEye(&display, target);
        row.display = display;
        row.eye = Measure(display, DrivesOf(row.calibration.settings.ramp), target);
        row.worstTie = WorstOfTheTies(row, target);
        row.fine = Measure(display, DrivesOf(row.calibration.fineTuned.ramp), target);
        row.inverse = Measure(display, ExactInverse(display, target), target);
        DriveTable recorded;
        row.hasDispcal =
            ReadCalFile(RecordedFolder() + "/dispcal/" + display.id + ".cal", &recorded);
        if (row.hasDispcal) {
            row.dispcal = Measure(display, recorded, target);
        }
        rows.push_back(row);
    }
    return rows;
}

std::string FormatTable(const std::vector<BenchmarkRow>& rows) {
    const char* columns = "%-20s %6s %6s %6s %6s %6s   %6s %6s   %6s %6s   %6s %6s   %6s %6s\n";
    std::string text =
        Format("%-20s %-34s   %-13s   %-13s   %-13s   %s\n", "", "perfect eye, sliders centred",
               "ties' worst", "fine-tuned", "exact inverse", "dispcal") +
        Format(columns, "", "dE00", "dE00", "gamma", "white", "grey", "dE00", "dE00", "dE00",
               "dE00", "dE00", "dE00", "dE00", "dE00") +
        Format(columns, "display", "mean", "max", "at 50", "u'v'", "u'v'", "mean", "max", "mean",
               "max", "mean", "max", "mean", "max");
    for (const BenchmarkRow& row : rows) {
        const Accuracy& e = row.eye;
        text += Format(
            "%-20s %6.2f %6.2f %6.2f %6.4f %6.4f   %6.2f %6.2f   %6.2f %6.2f   %6.2f %6.2f",
            row.display.label.c_str(), e.meanDeltaE, e.maxDeltaE, e.gammaAt50, e.whiteDeltaUv,
            e.greyDeltaUv, row.worstTie.meanDeltaE, row.worstTie.maxDeltaE, row.fine.meanDeltaE,
            row.fine.maxDeltaE, row.inverse.meanDeltaE, row.inverse.maxDeltaE);
        text += row.hasDispcal
                    ? Format("   %6.2f %6.2f", row.dispcal.meanDeltaE, row.dispcal.maxDeltaE)
                    : Format("   %6s %6s", "-", "-");
        text += row.display.modelFits ? "\n" : "  known loss\n";
    }
    return text;
}

bool ReadCalFile(const std::string& path, DriveTable* table) {
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        if (line.rfind("BEGIN_DATA", 0) == 0 && line.rfind("BEGIN_DATA_FORMAT", 0) != 0) {
            break;
        }
    }
    int read = 0;
    while (read < kRampSize && std::getline(file, line)) {
        std::istringstream values(line);
        double input;
        if (!(values >> input >> table->drive[0][read] >> table->drive[1][read] >>
              table->drive[2][read])) {
            return false;
        }
        ++read;
    }
    return read == kRampSize;
}

std::vector<RecordedLoss> ReadKnownLosses(const std::string& path) {
    std::vector<RecordedLoss> losses;
    std::ifstream file(path);
    RecordedLoss loss;
    while (file >> loss.id >> loss.mean >> loss.max) {
        losses.push_back(loss);
    }
    return losses;
}

}  // namespace tonalis::accuracy
