// The loader's displays on X: the outputs of XRandR 1.2 and their CRTCs' gamma
// tables, through XCB. The queries about every output and every CRTC go out
// together and their replies come back together, so that reaching a display
// costs a few round trips to the server whatever the number of outputs.
#include <xcb/randr.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "display/display_access.h"
#include "display/ramp_resample.h"
#include "display/xcb_reply.h"
#include "model/text_format.h"
#include "model/tool_error.h"

namespace tonalis {

namespace {

class XrandrAccess : public DisplayAccess {
  public:
    XrandrAccess(xcb_connection_t* connection, std::string name)
        : connection_(connection), name_(std::move(name)) {}
    ~XrandrAccess() override { xcb_disconnect(connection_); }
    XrandrAccess(const XrandrAccess&) = delete;
    XrandrAccess& operator=(const XrandrAccess&) = delete;

    // Reads the outputs; throws when the server has no XRandR 1.2.
    void Load(int screenNumber) {
        const xcb_query_extension_reply_t* extension =
            xcb_get_extension_data(connection_, &xcb_randr_id);
        if (extension == nullptr || !extension->present) {
            throw NoRandr();
        }
        // The current configuration, without making the server probe its outputs.
        const xcb_randr_query_version_cookie_t versionAsked =
            xcb_randr_query_version(connection_, 1, 2);
        const xcb_randr_get_screen_resources_current_cookie_t resourcesAsked =
            xcb_randr_get_screen_resources_current(connection_, Root(screenNumber));
        Reply<xcb_randr_query_version_reply_t> version(
            xcb_randr_query_version_reply(connection_, versionAsked, nullptr));
        Reply<xcb_randr_get_screen_resources_current_reply_t> resources(
            xcb_randr_get_screen_resources_current_reply(connection_, resourcesAsked, nullptr));
        if (!version || version->major_version < 1 ||
            (version->major_version == 1 && version->minor_version < 2)) {
            throw NoRandr();
        }
        if (!resources) {
            throw ToolError(kExitBadInput, "the X server gave no screen resources");
        }
        ReadOutputs(*resources);
    }

    const char* Noun() const override { return "output"; }
    const std::vector<DisplayOutput>& Outputs() const override { return outputs_; }
    bool KeepsProfiles() const override { return false; }

    bool ReadTable(int index, GammaRamp* ramp) override {
        std::vector<uint16_t> runs[3];
        if (!ReadCrtcTable(index, runs)) {
            return false;
        }
        for (int c = 0; c < 3; ++c) {
            ChannelFromSize(runs[c].data(), outputs_[index].gammaSize, ramp->Channel(c));
        }
        return true;
    }

    bool WriteTable(int index, const VcgtCurves& curves) override {
        const int size = outputs_[index].gammaSize;
        if (size <= 0) {
            return false;
        }
        std::vector<uint16_t> runs[3];
        for (int c = 0; c < 3; ++c) {
            runs[c] = SampleVcgtCurve(curves, c, size);
        }
        return WriteCrtcTable(index, runs);
    }

  private:
    ToolError NoRandr() const {
        return ToolError(kExitBadInput,
                         Format("the X display %s has no XRandR 1.2; no gamma table can be reached",
                                name_.c_str()));
    }

    xcb_window_t Root(int screenNumber) const {
        xcb_screen_iterator_t screen = xcb_setup_roots_iterator(xcb_get_setup(connection_));
        for (int i = 0; i < screenNumber && screen.rem > 1; ++i) {
            xcb_screen_next(&screen);
        }
        return screen.data->root;
    }

    // Every output's information and every CRTC's gamma size, asked at once.
    void ReadOutputs(const xcb_randr_get_screen_resources_current_reply_t& resources) {
        const xcb_randr_output_t* ids = xcb_randr_get_screen_resources_current_outputs(&resources);
        const xcb_randr_crtc_t* crtcs = xcb_randr_get_screen_resources_current_crtcs(&resources);
        std::vector<xcb_randr_get_output_info_cookie_t> infoAsked;
        for (int i = 0; i < resources.num_outputs; ++i) {
            infoAsked.push_back(
                xcb_randr_get_output_info(connection_, ids[i], resources.config_timestamp));
        }
        std::vector<xcb_randr_get_crtc_gamma_size_cookie_t> sizeAsked;
        for (int i = 0; i < resources.num_crtcs; ++i) {
            sizeAsked.push_back(xcb_randr_get_crtc_gamma_size(connection_, crtcs[i]));
        }
        std::vector<int> gammaSizes;
        for (int i = 0; i < resources.num_crtcs; ++i) {
            Reply<xcb_randr_get_crtc_gamma_size_reply_t> size(
                xcb_randr_get_crtc_gamma_size_reply(connection_, sizeAsked[i], nullptr));
            gammaSizes.push_back(size ? size->size : 0);
        }
        for (int i = 0; i < resources.num_outputs; ++i) {
            Reply<xcb_randr_get_output_info_reply_t> info(
                xcb_randr_get_output_info_reply(connection_, infoAsked[i], nullptr));
            if (!info) {
                continue;
            }
            DisplayOutput output;
            output.name.assign(
                reinterpret_cast<const char*>(xcb_randr_get_output_info_name(info.get())),
                info->name_len);
            const bool connected = info->connection == XCB_RANDR_CONNECTION_CONNECTED;
            output.inUse = info->crtc != XCB_NONE;
            output.connectedButOff = connected && info->crtc == XCB_NONE;
            for (int c = 0; c < resources.num_crtcs && output.inUse; ++c) {
                if (crtcs[c] == info->crtc) {
                    output.gammaSize = gammaSizes[c];
                }
            }
            outputs_.push_back(output);
            crtcs_.push_back(info->crtc);
        }
    }

    // The CRTC's table at its own size, red, green and blue.
    bool ReadCrtcTable(int index, std::vector<uint16_t> runs[3]) {
        const int size = outputs_[index].gammaSize;
        if (size <= 0) {
            return false;
        }
        Reply<xcb_randr_get_crtc_gamma_reply_t> gamma(xcb_randr_get_crtc_gamma_reply(
            connection_, xcb_randr_get_crtc_gamma(connection_, crtcs_[index]), nullptr));
        if (!gamma || gamma->size != size) {
            return false;
        }
        const uint16_t* read[3] = {xcb_randr_get_crtc_gamma_red(gamma.get()),
                                   xcb_randr_get_crtc_gamma_green(gamma.get()),
                                   xcb_randr_get_crtc_gamma_blue(gamma.get())};
        for (int c = 0; c < 3; ++c) {
            runs[c].assign(read[c], read[c] + size);
        }
        return true;
    }

    // False when the server refused the table.
    bool WriteCrtcTable(int index, const std::vector<uint16_t> runs[3]) {
        Reply<xcb_generic_error_t> error(xcb_request_check(
            connection_, xcb_randr_set_crtc_gamma_checked(
                             connection_, crtcs_[index], static_cast<uint16_t>(runs[0].size()),
                             runs[0].data(), runs[1].data(), runs[2].data())));
        return !error;
    }

    xcb_connection_t* connection_;
    std::string name_;
    std::vector<DisplayOutput> outputs_;
    std::vector<xcb_randr_crtc_t> crtcs_;
};

}  // namespace

std::unique_ptr<DisplayAccess> OpenDisplayAccess() {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0') {
        throw ToolError(kExitBadInput, "no display: DISPLAY is not set");
    }
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(name, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        throw ToolError(kExitBadInput, Format("cannot open the X display %s", name));
    }
    auto access = std::make_unique<XrandrAccess>(connection, name);
    access->Load(screenNumber);
    return access;
}

}  // namespace tonalis
