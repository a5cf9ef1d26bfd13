// The displays that apply, reset and show reach: on X each output of XRandR,
// on Windows each monitor in the applet's numbering. Tables are read as 256
// entries per channel and written as curves, each side sampling them at its
// own size.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/monitor_settings.h"
#include "profile/table_verdict.h"
#include "profile/vcgt_curves.h"

namespace tonalis {

struct DisplayOutput {
    std::string name;
    // Entries per channel of the output's own table; 0 when it has none.
    int gammaSize = 0;
    // Shows a picture (X: driven by a CRTC); the outputs taken when none is named.
    bool inUse = false;
    // X: connected but without a CRTC, so it shows nothing now.
    bool connectedButOff = false;
};

// A display's own table, as the loader at logon plans it.
struct StoredTable {
    TableVerdict table = TableVerdict::kNoProfile;
    std::string profile;
    // kRegisteredUnreadable: the string id that says why.
    int readResult = 0;
    VcgtProblem problem = VcgtProblem::kNone;
    // kUsable: the table.
    VcgtCurves curves;
};

class DisplayAccess {
  public:
    virtual ~DisplayAccess() = default;

    // "output" on X, "monitor" on Windows: how messages name one.
    virtual const char* Noun() const = 0;
    virtual const std::vector<DisplayOutput>& Outputs() const = 0;
    // False when the table cannot be read.
    virtual bool ReadTable(int index, GammaRamp* ramp) = 0;
    // The curves sampled at the display's size; false when the system refused them.
    virtual bool WriteTable(int index, const VcgtCurves& curves) = 0;
    // Whether the system keeps a profile per display (Windows does, X does not).
    virtual bool KeepsProfiles() const = 0;
    // The table of the display's own profile: the one the applet registered
    // for it, else the one the system associates with it.
    virtual StoredTable PlanStoredTable(int) { return {}; }
    // Windows: a table read that never returned has switched the tables off.
    virtual bool TablesSwitchedOff() const { return false; }
};

// Why a Windows loader loads nothing while those features are off.
constexpr char kTablesSwitchedOffText[] =
    "the table features are switched off: Tonalis ended while reading a display's table; start "
    "Tonalis with Ctrl and Shift held to switch them back on";

// Throws ToolError with status 2 when there is no display to reach.
std::unique_ptr<DisplayAccess> OpenDisplayAccess();

}  // namespace tonalis
