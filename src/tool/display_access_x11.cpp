// The loader's displays on X: the outputs of XRandR 1.2 and their CRTCs' gamma
// tables. Every X resource is freed on every path.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "tool/display_access.h"
#include "tool/ramp_resample.h"
#include "tool/text_format.h"
#include "tool/tool_error.h"

namespace tonalis::tool {

namespace {

// Requests fail asynchronously on X; the handler notes the failure instead of
// ending the process, as the default one would.
bool g_requestFailed = false;

int NoteRequestFailure(Display*, XErrorEvent*) {
    g_requestFailed = true;
    return 0;
}

struct FreeResources {
    void operator()(XRRScreenResources* resources) const { XRRFreeScreenResources(resources); }
};
struct FreeOutputInfo {
    void operator()(XRROutputInfo* info) const { XRRFreeOutputInfo(info); }
};
struct FreeGamma {
    void operator()(XRRCrtcGamma* gamma) const { XRRFreeGamma(gamma); }
};

class XrandrAccess : public DisplayAccess {
  public:
    explicit XrandrAccess(Display* display) : display_(display) {}
    ~XrandrAccess() override { XCloseDisplay(display_); }
    XrandrAccess(const XrandrAccess&) = delete;
    XrandrAccess& operator=(const XrandrAccess&) = delete;

    // Reads the outputs; throws when the server has no XRandR 1.2.
    void Load() {
        int opcode = 0;
        int eventBase = 0;
        int errorBase = 0;
        int major = 0;
        int minor = 0;
        // Asked of Xlib first: libXrandr keeps a block it never frees when a
        // server lacks the extension.
        if (!XQueryExtension(display_, RANDR_NAME, &opcode, &eventBase, &errorBase) ||
            !XRRQueryVersion(display_, &major, &minor) || major < 1 || (major == 1 && minor < 2)) {
            throw ToolError(kExitBadInput,
                            Format("the X display %s has no XRandR 1.2; no gamma table can be "
                                   "reached",
                                   DisplayString(display_)));
        }
        // The current configuration, without making the server probe its outputs.
        std::unique_ptr<XRRScreenResources, FreeResources> resources(
            XRRGetScreenResourcesCurrent(display_, DefaultRootWindow(display_)));
        if (!resources) {
            throw ToolError(kExitBadInput, "the X server gave no screen resources");
        }
        for (int i = 0; i < resources->noutput; ++i) {
            std::unique_ptr<XRROutputInfo, FreeOutputInfo> info(
                XRRGetOutputInfo(display_, resources.get(), resources->outputs[i]));
            if (!info) {
                continue;
            }
            DisplayOutput output;
            output.name.assign(info->name, info->nameLen);
            const bool connected = info->connection == RR_Connected;
            output.inUse = info->crtc != 0;
            output.connectedButOff = connected && info->crtc == 0;
            output.gammaSize = info->crtc != 0 ? XRRGetCrtcGammaSize(display_, info->crtc) : 0;
            outputs_.push_back(output);
            crtcs_.push_back(info->crtc);
        }
    }

    const char* Noun() const override { return "output"; }
    const std::vector<DisplayOutput>& Outputs() const override { return outputs_; }
    bool KeepsProfiles() const override { return false; }
    bool StoredProfile(int, std::string*, bool*) override { return false; }

    bool ReadTable(int index, GammaRamp* ramp) override {
        const int size = outputs_[index].gammaSize;
        if (size <= 0) {
            return false;
        }
        std::unique_ptr<XRRCrtcGamma, FreeGamma> gamma(XRRGetCrtcGamma(display_, crtcs_[index]));
        if (!gamma || gamma->size != size) {
            return false;
        }
        ChannelFromSize(gamma->red, size, ramp->Channel(kRed));
        ChannelFromSize(gamma->green, size, ramp->Channel(kGreen));
        ChannelFromSize(gamma->blue, size, ramp->Channel(kBlue));
        return true;
    }

    bool WriteTable(int index, const VcgtCurves& curves) override {
        const int size = outputs_[index].gammaSize;
        if (size <= 0) {
            return false;
        }
        std::unique_ptr<XRRCrtcGamma, FreeGamma> gamma(XRRAllocGamma(size));
        if (!gamma) {
            return false;
        }
        uint16_t* runs[3] = {gamma->red, gamma->green, gamma->blue};
        for (int c = 0; c < 3; ++c) {
            const std::vector<uint16_t> entries = SampleVcgtCurve(curves, c, size);
            std::copy(entries.begin(), entries.end(), runs[c]);
        }
        g_requestFailed = false;
        XErrorHandler previous = XSetErrorHandler(NoteRequestFailure);
        XRRSetCrtcGamma(display_, crtcs_[index], gamma.get());
        XSync(display_, False);
        XSetErrorHandler(previous);
        return !g_requestFailed;
    }

  private:
    Display* display_;
    std::vector<DisplayOutput> outputs_;
    std::vector<RRCrtc> crtcs_;
};

}  // namespace

std::unique_ptr<DisplayAccess> OpenDisplayAccess() {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0') {
        throw ToolError(kExitBadInput, "no display: DISPLAY is not set");
    }
    Display* display = XOpenDisplay(name);
    if (display == nullptr) {
        throw ToolError(kExitBadInput, Format("cannot open the X display %s", name));
    }
    auto access = std::make_unique<XrandrAccess>(display);
    access->Load();
    return access;
}

}  // namespace tonalis::tool
