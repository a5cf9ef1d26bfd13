// What the keeper reaches of the displays, given by its caller: the monitors
// present now, the table each should hold and the one it holds.
#pragma once

#include <string>
#include <vector>

#include "model/monitor_settings.h"

namespace tonalis::keeper {

class MonitorTables {
  public:
    virtual ~MonitorTables() = default;

    // The monitors that show a picture now, by name.
    virtual std::vector<std::string> Present() = 0;
    // The table kept for the monitor, as 256 entries per channel at its own
    // size; false when nothing is kept for it.
    virtual bool Kept(const std::string& monitor, GammaRamp* ramp) = 0;
    // What the monitor holds now; false when it cannot be read.
    virtual bool Held(const std::string& monitor, GammaRamp* ramp) = 0;
    // Writes the kept table; false when the system refused it.
    virtual bool Load(const std::string& monitor) = 0;
};

}  // namespace tonalis::keeper
