// The benchmark's rows: each display calibrated by the perfect eye, by the
// exact inverse of the display and, as recorded once, by ArgyllCMS's dispcal
// with its simulated instrument.
#pragma once

#include <string>
#include <vector>

#include "accuracy_metrics.h"
#include "ideal_observer.h"
#include "simulated_display.h"

namespace tonalis::accuracy {

struct BenchmarkRow {
    SimulatedDisplay display;  // with the knob where the eye left it
    EyeCalibration calibration;
    Accuracy eye;       // the sliders in the middle of their best positions
    Accuracy worstTie;  // the worst of those positions' ends
    Accuracy fine;      // then the fine-tuning step
    Accuracy inverse;   // the best any table can do
    bool hasDispcal;    // a recorded result exists
    Accuracy dispcal;
};

// Where the recorded results live: dispcal's tables and the known losses.
std::string RecordedFolder();

// Every display of BenchmarkDisplays(), calibrated to the target.
std::vector<BenchmarkRow> RunBenchmark(const Target& target);

// The table as the test command prints it.
std::string FormatTable(const std::vector<BenchmarkRow>& rows);

// The curves of an ArgyllCMS .cal file (RGB_I RGB_R RGB_G RGB_B, 256 sets) as
// drive levels; false when it cannot be read.
bool ReadCalFile(const std::string& path, DriveTable* table);

// Recorded known losses: display id to the perfect eye's mean and maximum.
struct RecordedLoss {
    std::string id;
    double mean;
    double max;
};
std::vector<RecordedLoss> ReadKnownLosses(const std::string& path);

}  // namespace tonalis::accuracy
