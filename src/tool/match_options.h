// Reading the points matched by eye from --match and --match-red/-green/-blue.
#pragma once

#include "model/monitor_settings.h"

namespace tonalis::tool {

class Arguments;

// --match F:D[,F:D...] for every channel, then --match-red, --match-green and
// --match-blue for one each, applied over the record's gamma factors: F the
// fraction of the channel's light (0 the darkest visible step, 1 the
// brightest step still told from white), D the drive level 0 to 255 that
// showed it.
void MatchOptions(const Arguments& arguments, MonitorSettings* settings);

}  // namespace tonalis::tool
