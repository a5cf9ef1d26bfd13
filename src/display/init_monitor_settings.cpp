// A new monitor record: defaults, the display's current ramp read under the
// crash guard, and the settings of the monitor's profile.
#include "display/init_monitor_settings.h"

#include <cstring>

#include "session/messages.h"
#include "display/display_system_calls.h"
#include "display/gamma_ramp_access.h"
#include "display/start_profile.h"
#include "model/presets.h"
#include "model/unicode_text.h"
#include "profile/registry.h"
#include "resources/string_ids.h"

namespace tonalis {

namespace {

// The ramp that is in the display, read only when the guard allows it.
bool ReadStartRamp(HDC dc, GammaRamp* ramp) {
    if (!BeginRampAccess()) {
        return false;
    }
    bool read = g_displaySystemCalls.getDeviceGammaRamp(dc, ramp->entries) != FALSE;
    EndRampAccess();
    return read;
}

void SetDefaults(MonitorSettings* record, HINSTANCE instance) {
    record->whiteRgb = kFullPeaks;
    for (double& factor : record->gammaFactor) {
        factor = 1.0;
    }
    record->hardwareWhite = GetWhitePreset(kDefaultWhitePreset);
    GetPhosphorPreset(kDefaultPhosphorPreset, record->primaries);
    for (double& gamma : record->gamma) {
        gamma = GetGammaPreset(kDefaultGammaPreset);
    }
    wchar_t text[kDescriptionUnits + 1] = {};
    const int units =
        LoadStringW(instance, strings::kDefaultDescription, text, kDescriptionUnits + 1);
    Utf16ToUtf8(reinterpret_cast<const char16_t*>(text), size_t(units > 0 ? units : 0),
                record->description, kDescriptionSize);
}

bool Fail(HINSTANCE instance, int messageId) {
    ShowErrorMessage(instance, messageId, strings::kProductName);
    return false;
}

}  // namespace

bool InitMonitorSettings(HDC dc, int index, const char* deviceName, MonitorSettings* record,
                         HINSTANCE instance) {
    *record = {};
    GammaRamp startRamp = {};
    bool hasRamp = ReadStartRamp(dc, &startRamp);
    record->hasGammaRamp = hasRamp ? 1 : 0;
    if (hasRamp) {
        record->ramp = startRamp;
    }
    SetDefaults(record, instance);
    if (GetDefaultProfilePath(record->profilePath, kProfilePathSize) != kRegistryOk) {
        return Fail(instance, strings::kInternalError);
    }
    if (deviceName != nullptr) {
        strncpy(record->deviceName, deviceName, kDeviceNameSize - 1);
    }

    int loaded = LoadStartProfile(dc, index, deviceName, record);
    // Whatever the profile's table says, the record starts with the display's ramp.
    if (hasRamp) {
        record->ramp = startRamp;
    }
    if (loaded == 0 || loaded == strings::kProfileUnreadable ||
        loaded == strings::kNotRgbDisplayProfile) {
        return true;
    }
    return Fail(instance, loaded);
}

}  // namespace tonalis
