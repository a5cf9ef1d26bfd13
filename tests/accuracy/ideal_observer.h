// An observer with a perfect eye who works through the wizard's pages on a
// simulated display, through the applet's own model: the patterns' levels,
// the slider mapping, the lookup table, the measurement screen's swatches and
// the channel peaks.
#pragma once

#include "accuracy_metrics.h"
#include "model/monitor_settings.h"
#include "simulated_display.h"

namespace tonalis::accuracy {

// The slider positions whose screen is the best match: neighbouring
// positions that give the same table entries look identical.
struct SliderMatch {
    int low;
    int high;
    int Middle() const { return (low + high) / 2; }
};

struct EyeCalibration {
    // The working record at Finish, with each slider in the middle of its
    // best positions.
    MonitorSettings settings;
    // Red, green and blue; matched as one grey, all three are green's.
    SliderMatch sliders[3];
    bool oneGrey;
    // The same with the fine-tuning step after the gamma page: a quarter,
    // three quarters and the end steps matched exactly.
    MonitorSettings fineTuned;
};

// Brightness (when the display has the knob, which is left where the eye
// set it), phosphors (the nearest set of the list), the
// gamma sliders against the patches, the hardware white on the measurement
// screen and the target white as the adjusted white.
EyeCalibration CalibrateByEye(SimulatedDisplay* display, const Target& target);

// The same calibration with the sliders at other positions (red, green,
// blue): the pages after the gamma page are worked through again.
MonitorSettings WithSliders(const SimulatedDisplay& display, const EyeCalibration& calibration,
                            const Target& target, const int positions[3]);

}  // namespace tonalis::accuracy
