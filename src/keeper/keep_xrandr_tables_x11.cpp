// The keeper's reads and writes of CRTC gamma tables. The kept table of each
// output is sampled once per layout, so that a poll costs one request per
// output and a comparison.
#include <cstdlib>
#include <memory>

#include "display/ramp_resample.h"
#include "display/table_load.h"
#include "display/xcb_reply.h"
#include "keeper/keep_xrandr_tables.h"
#include "model/text_format.h"

namespace tonalis {

XrandrKeptTables::XrandrKeptTables(xcb_connection_t* connection, xcb_window_t root,
                                   const OutputKeepPlan& plan)
    : connection_(connection), root_(root), plan_(plan) {}

bool XrandrKeptTables::Refresh() {
    Reply<xcb_randr_get_screen_resources_current_reply_t> resources(
        xcb_randr_get_screen_resources_current_reply(
            connection_, xcb_randr_get_screen_resources_current(connection_, root_), nullptr));
    if (!resources) {
        return false;
    }
    const xcb_randr_output_t* ids = xcb_randr_get_screen_resources_current_outputs(resources.get());
    std::vector<xcb_randr_get_output_info_cookie_t> infoAsked;
    for (int i = 0; i < resources->num_outputs; ++i) {
        infoAsked.push_back(
            xcb_randr_get_output_info(connection_, ids[i], resources->config_timestamp));
    }
    std::vector<Output> found;
    names_.clear();
    for (auto& asked : infoAsked) {
        Reply<xcb_randr_get_output_info_reply_t> info(
            xcb_randr_get_output_info_reply(connection_, asked, nullptr));
        if (!info) {
            continue;
        }
        Output output{};
        output.name.assign(
            reinterpret_cast<const char*>(xcb_randr_get_output_info_name(info.get())),
            info->name_len);
        names_.push_back(output.name);
        output.crtc = info->crtc;
        if (output.crtc != XCB_NONE) {
            found.push_back(output);
        }
    }
    // Each CRTC's mode, place and gamma size, asked together.
    std::vector<xcb_randr_get_crtc_info_cookie_t> crtcAsked;
    std::vector<xcb_randr_get_crtc_gamma_size_cookie_t> sizeAsked;
    for (const Output& output : found) {
        crtcAsked.push_back(
            xcb_randr_get_crtc_info(connection_, output.crtc, resources->config_timestamp));
        sizeAsked.push_back(xcb_randr_get_crtc_gamma_size(connection_, output.crtc));
    }
    for (size_t i = 0; i < found.size(); ++i) {
        Output& output = found[i];
        Reply<xcb_randr_get_crtc_info_reply_t> crtc(
            xcb_randr_get_crtc_info_reply(connection_, crtcAsked[i], nullptr));
        Reply<xcb_randr_get_crtc_gamma_size_reply_t> size(
            xcb_randr_get_crtc_gamma_size_reply(connection_, sizeAsked[i], nullptr));
        output.gammaSize = size ? size->size : 0;
        output.layout = crtc ? Format("%u %u %d,%d %ux%u %u", output.crtc, crtc->mode, crtc->x,
                                      crtc->y, crtc->width, crtc->height, crtc->rotation)
                             : "";
        output.kept = output.gammaSize > 1 ? ProfileFor(plan_, output.name) : nullptr;
        Sample(&output);
    }
    bool changed = found.size() != outputs_.size();
    for (size_t i = 0; i < found.size() && !changed; ++i) {
        changed = found[i].name != outputs_[i].name || found[i].layout != outputs_[i].layout;
    }
    outputs_ = std::move(found);
    return changed;
}

void XrandrKeptTables::Resample() {
    for (Output& output : outputs_) {
        Sample(&output);
    }
}

void XrandrKeptTables::Sample(Output* output) {
    if (output->kept != nullptr) {
        output->keptRamp = CurvesAsHeld(output->kept->curves, output->gammaSize);
        for (int c = 0; c < 3; ++c) {
            output->runs[c] = SampleVcgtCurve(output->kept->curves, c, output->gammaSize);
        }
    }
}

std::vector<std::string> XrandrKeptTables::Present() {
    std::vector<std::string> present;
    for (const Output& output : outputs_) {
        present.push_back(output.name);
    }
    return present;
}

bool XrandrKeptTables::Kept(const std::string& monitor, GammaRamp* ramp) {
    const Output* output = Find(monitor);
    if (output == nullptr || output->kept == nullptr) {
        return false;
    }
    *ramp = output->keptRamp;
    return true;
}

bool XrandrKeptTables::Held(const std::string& monitor, GammaRamp* ramp) {
    const Output* output = Find(monitor);
    if (output == nullptr || output->gammaSize <= 1) {
        return false;
    }
    Reply<xcb_randr_get_crtc_gamma_reply_t> gamma(xcb_randr_get_crtc_gamma_reply(
        connection_, xcb_randr_get_crtc_gamma(connection_, output->crtc), nullptr));
    if (!gamma || gamma->size != output->gammaSize) {
        return false;
    }
    ChannelFromSize(xcb_randr_get_crtc_gamma_red(gamma.get()), gamma->size, ramp->Channel(0));
    ChannelFromSize(xcb_randr_get_crtc_gamma_green(gamma.get()), gamma->size, ramp->Channel(1));
    ChannelFromSize(xcb_randr_get_crtc_gamma_blue(gamma.get()), gamma->size, ramp->Channel(2));
    return true;
}

bool XrandrKeptTables::Load(const std::string& monitor) {
    const Output* output = Find(monitor);
    if (output == nullptr || output->kept == nullptr) {
        return false;
    }
    Reply<xcb_generic_error_t> error(xcb_request_check(
        connection_, xcb_randr_set_crtc_gamma_checked(
                         connection_, output->crtc, static_cast<uint16_t>(output->gammaSize),
                         output->runs[0].data(), output->runs[1].data(), output->runs[2].data())));
    return !error;
}

XrandrKeptTables::Output* XrandrKeptTables::Find(const std::string& name) {
    for (Output& output : outputs_) {
        if (output.name == name) {
            return &output;
        }
    }
    return nullptr;
}

}  // namespace tonalis
