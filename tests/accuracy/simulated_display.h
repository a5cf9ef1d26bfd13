// Simulated displays: each a function from the drive levels of its three
// channels to the XYZ it shows, made of a response per channel and the
// primaries in the amounts that give its native white.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "model/colorimetry.h"

namespace tonalis::accuracy {

// The share of a channel's full light at a drive level 0..1, given the
// brightness knob's setting (the black cut-off, for displays that have one).
using ChannelResponse = std::function<double(int channel, double drive, double brightness)>;

struct SimulatedDisplay {
    std::string id;     // file name of its recorded results
    std::string label;  // as the table prints it
    Chromaticity primaries[3];
    Chromaticity white;  // native: all three channels full
    // XYZ of each full primary (rows adding up to the white, Y = 1), solved
    // by LittleCMS rather than by the model under test.
    double rows[3][3];
    ChannelResponse response;
    // A knob that the brightness page has the user set; brightness is where
    // it stands now.
    bool hasBrightnessKnob = false;
    double brightness = 0.0;
    // The user matches each channel on its own, with the single-gamma box
    // cleared; otherwise one grey.
    bool matchesEachChannel = false;
    // A power law per channel with a black the target tolerates, native
    // whites on the measurement screen's ladder: what the model can fit.
    bool modelFits = false;
};

// XYZ for drive levels 0..1; full white has Y = 1.
Tristimulus Show(const SimulatedDisplay& display, const double drive[3]);

// The light of one channel, 0..1, at a drive level.
double ChannelLight(const SimulatedDisplay& display, int channel, double drive);

// The displays of the benchmark, in the order the table prints them.
std::vector<SimulatedDisplay> BenchmarkDisplays();

}  // namespace tonalis::accuracy
