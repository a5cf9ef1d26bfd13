// Keeping the adjusted white point through new peaks.
#include "model/adjusted_white.h"

#include "model/matching.h"
#include "model/white_point.h"

namespace tonalis {

namespace {

bool Unchanged(Chromaticity before, Chromaticity now) {
    return before.x == now.x && before.y == now.y;
}

bool SameMonitor(const MonitorSettings& before, const MonitorSettings& now) {
    bool same = Unchanged(before.hardwareWhite, now.hardwareWhite);
    for (int c = 0; c < 3; ++c) {
        same = same && Unchanged(before.primaries[c], now.primaries[c]) &&
               before.gammaFactor[c] == now.gammaFactor[c] &&
               ToneMatchesEqual(before.toneMatch[c], now.toneMatch[c]);
    }
    return same;
}

}  // namespace

void KeepAdjustedWhite(const MonitorSettings& before, MonitorSettings* working) {
    if (SameMonitor(before, *working)) {
        return;
    }
    Chromaticity target = before.adjustedWhite;
    // Never computed: the white that the peaks gave until now.
    if (target.y == 0.0) {
        PeaksToWhitePoint(before.whiteRgb, before.primaries, before.hardwareWhite,
                          before.gammaFactor, before.toneMatch, &target);
    }
    if (target.y == 0.0) {
        return;  // no white at all to keep
    }
    if (WhitePointToPeaks(target, working->primaries, working->hardwareWhite, working->gammaFactor,
                          working->toneMatch, &working->whiteRgb)) {
        working->adjustedWhite = target;
    } else {
        PeaksToWhitePoint(working->whiteRgb, working->primaries, working->hardwareWhite,
                          working->gammaFactor, working->toneMatch, &working->adjustedWhite);
    }
}

}  // namespace tonalis
