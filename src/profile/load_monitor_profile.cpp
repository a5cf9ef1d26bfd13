// Loading: the file read whole, opened and checked through the ICC library,
// and turned into settings only once nothing more can fail.
#include "profile/load_monitor_profile.h"

#include <cstring>

#include "icc/exception.h"
#include "profile/icc_session.h"
#include "profile/native_white_tag.h"
#include "profile/profile_image_file.h"
#include "profile/settings_conversion.h"
#include "profile/vcgt_tag.h"
#include "resources/string_ids.h"

namespace tonalis {

namespace {

// A profile file read, opened as an RGB monitor profile and its calibration
// extracted; everything is released when it goes.
class OpenedProfile {
  public:
    // 0 or the string to show. text receives the stored description.
    int Open(const char* path, char text[kProfileTextSize]) {
        if (path == nullptr) {
            return strings::kInternalError;
        }
        if (session_.InitCode() != icc::kOk) {
            return LoadFailureString(session_.InitCode());
        }
        ProfileImageFile image;
        const ImageReadResult read = image.Read(path);
        if (read != ImageReadResult::kRead) {
            return ImageReadFailureString(read, strings::kProfileUnreadable);
        }
        info_.kind = kProfileInfoImage;
        info_.image = image.Bytes();
        info_.text = text;
        int32_t code = session_.Open(&info_);
        if (code == icc::kOk) {
            info_.kind = kProfileInfoValues;
            uint8_t simpleGamma = 0;
            code = IccExtractInfo(kIccInterfaceVersion, session_.Profile(), &info_, &simpleGamma);
        }
        // Our profiles with a table name the monitor's own white apart from
        // the white it shows through the table.
        if (code == icc::kOk) {
            ReadNativeWhiteTag(session_.Profile(), info_.white);
        }
        return code == icc::kOk ? 0 : LoadFailureString(code);
    }

    const ProfileInfo& Info() const { return info_; }
    IccProfile* Profile() const { return session_.Profile(); }

  private:
    IccSession session_;
    ProfileInfo info_ = {};
};

}  // namespace

int LoadMonitorProfile(const char* path, MonitorSettings* record) {
    if (record == nullptr) {
        return strings::kInternalError;
    }
    char text[kProfileTextSize] = {};
    OpenedProfile profile;
    const int result = profile.Open(path, text);
    if (result != 0) {
        return result;
    }
    if (!CheckProfilePlausible(profile.Info())) {
        return strings::kNotRgbDisplayProfile;
    }
    // From here on nothing fails: the record is written only now.
    record->adjustedWhite = {0.0, 0.0};
    ReadVcgtTag(profile.Profile(), &record->ramp);
    SettingsFromProfileInfo(profile.Info(), record);
    static_assert(kDescriptionSize == kProfileTextSize, "descriptions are copied whole");
    std::memcpy(record->description, text, kDescriptionSize);
    // The path may be the record's own profilePath.
    const size_t length = strnlen(path, kProfilePathSize - 1);
    std::memmove(record->profilePath, path, length);
    record->profilePath[length] = '\0';
    return 0;
}

int ReadProfileDescription(const char* path, char* text, size_t size) {
    if (text == nullptr || size == 0) {
        return strings::kInternalError;
    }
    char description[kProfileTextSize] = {};
    OpenedProfile profile;
    const int result = profile.Open(path, description);
    if (result != 0) {
        return result;
    }
    // A cut text ends before the character that does not fit.
    size_t copied = std::strlen(description);
    if (copied >= size) {
        copied = size - 1;
        while (copied > 0 && (static_cast<unsigned char>(description[copied]) & 0xC0) == 0x80) {
            --copied;
        }
    }
    std::memcpy(text, description, copied);
    text[copied] = '\0';
    return 0;
}

int ReadProfileRamp(const char* path, GammaRamp* ramp, bool* present) {
    if (ramp == nullptr || present == nullptr) {
        return strings::kInternalError;
    }
    char description[kProfileTextSize] = {};
    OpenedProfile profile;
    const int result = profile.Open(path, description);
    if (result != 0) {
        return result;
    }
    *present = ReadVcgtTag(profile.Profile(), ramp) == icc::kOk;
    return 0;
}

int ReadProfileCurves(const char* path, VcgtCurves* curves, VcgtProblem* problem) {
    if (curves == nullptr || problem == nullptr) {
        return strings::kInternalError;
    }
    char description[kProfileTextSize] = {};
    OpenedProfile profile;
    const int result = profile.Open(path, description);
    if (result == 0) {
        *problem = ReadVcgtCurves(profile.Profile(), curves);
    }
    return result;
}

}  // namespace tonalis
