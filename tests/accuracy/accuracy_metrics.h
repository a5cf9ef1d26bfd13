// How close a calibrated display comes to the target the user chose: CIEDE2000
// over a grey ramp and the primaries, the effective gamma at half input and
// the white's distance in u'v'.
#pragma once

#include <lcms2.h>

#include "model/monitor_settings.h"
#include "simulated_display.h"

namespace tonalis::accuracy {

struct Target {
    double gamma;
    Chromaticity white;
};

// What the user asks for: the Windows default gamma and 6500K.
constexpr Target kUsersTarget = {2.2, {0.3128, 0.3292}};

// The drive level 0..1 that a table sends to each channel for each input.
struct DriveTable {
    double drive[3][kRampSize];
};

// The display takes each entry's high byte, as the applet writes its levels.
DriveTable DrivesOf(const GammaRamp& ramp);

struct Accuracy {
    double meanDeltaE;  // over 17 greys from black to white and the 3 primaries
    double maxDeltaE;
    double gammaAt50;     // of the grey at input 128 against white
    double whiteDeltaUv;  // input 255 against the target white
    double greyDeltaUv;   // input 128 against the target white
};

// Colours are compared in L*a*b* of the target white at the display's own
// white luminance: a table that darkens the white to move it loses nothing.
Accuracy Measure(const SimulatedDisplay& display, const DriveTable& table, const Target& target);

// The best any table can do: for every input the drives that give the target,
// or come nearest where the display cannot (a black above zero).
DriveTable ExactInverse(const SimulatedDisplay& display, const Target& target);

double DeltaE2000(const cmsCIELab& a, const cmsCIELab& b);
double DeltaUv(Chromaticity a, Chromaticity b);

}  // namespace tonalis::accuracy
