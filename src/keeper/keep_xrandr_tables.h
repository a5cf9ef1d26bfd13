// The keeper's monitors on X: each output of XRandR that a CRTC drives, and
// its CRTC's gamma table, over one XCB connection kept open.
#pragma once

#include <xcb/randr.h>
#include <xcb/xcb.h>

#include <string>
#include <vector>

#include "keeper/monitor_tables.h"
#include "keeper/output_keep_plan.h"

namespace tonalis {

class XrandrKeptTables : public keeper::MonitorTables {
  public:
    XrandrKeptTables(xcb_connection_t* connection, xcb_window_t root, const OutputKeepPlan& plan);

    // Reads the outputs and CRTCs again; true when a mode, a position or the
    // set of outputs in use changed since the last time.
    bool Refresh();
    // Samples the kept tables again, after a profile was read again.
    void Resample();
    // Every output the server knows, in use or not.
    const std::vector<std::string>& OutputNames() const { return names_; }

    std::vector<std::string> Present() override;
    bool Kept(const std::string& monitor, GammaRamp* ramp) override;
    bool Held(const std::string& monitor, GammaRamp* ramp) override;
    bool Load(const std::string& monitor) override;

  private:
    struct Output {
        std::string name;
        xcb_randr_crtc_t crtc;
        int gammaSize;
        std::string layout;             // CRTC, mode, place and rotation
        const OutputProfile* kept;      // null when nothing is kept for it
        GammaRamp keptRamp;             // as the CRTC holds it, 256 per channel
        std::vector<uint16_t> runs[3];  // what is written, at the CRTC's size
    };

    Output* Find(const std::string& name);
    void Sample(Output* output);

    xcb_connection_t* connection_;
    xcb_window_t root_;
    const OutputKeepPlan& plan_;
    std::vector<Output> outputs_;  // those in use
    std::vector<std::string> names_;
};

}  // namespace tonalis
