// Saving: the source profile read and updated (or a new one built), the
// lookup table set, the image written over the destination in one step.
#include "profile/save_monitor_profile.h"

#include <cstring>

#include "icc/exception.h"
#include "model/platform.h"
#include "profile/file_replacement.h"
#include "profile/icc_session.h"
#include "profile/native_white_tag.h"
#include "profile/profile_image_file.h"
#include "profile/settings_conversion.h"
#include "profile/vcgt_tag.h"
#include "resources/string_ids.h"

namespace tonalis {

namespace {

// The serialised profile, in zero-filled memory from the platform.
class OutputImage {
  public:
    ~OutputImage() { platform::Release(bytes_); }
    // 0 or a library code; -3 when the buffer cannot be had.
    int32_t Write(IccProfile* profile) {
        int32_t code = IccWriteProfile(profile, nullptr, &size_);
        if (code != icc::kOk) {
            return code;
        }
        bytes_ = static_cast<uint8_t*>(platform::AllocateZeroed(size_));
        if (bytes_ == nullptr) {
            return icc::kOutOfMemory;
        }
        return IccWriteProfile(profile, bytes_, &size_);
    }
    const uint8_t* Bytes() const { return bytes_; }
    uint32_t Size() const { return size_; }

  private:
    uint8_t* bytes_ = nullptr;
    uint32_t size_ = 0;
};

// Opens the source profile, or builds a new one when there is no source. A
// source that is there but cannot be read is a failure: a new profile would
// silently lose its other tags. text receives the stored description (empty
// for a new profile).
int OpenSource(const char* source, const MonitorSettings& settings, bool writeRamp,
               IccSession* session, char text[kProfileTextSize]) {
    ProfileImageFile image;
    const ImageReadResult read = image.Read(source);
    ProfileInfo info = {};
    if (read == ImageReadResult::kCannotOpen) {
        info.kind = kProfileInfoValues;
        if (!BuildProfileInfo(settings, writeRamp, &info)) {
            return strings::kNotRgbDisplayProfile;
        }
    } else if (read == ImageReadResult::kRead) {
        info.kind = kProfileInfoImage;
        info.image = image.Bytes();
        info.text = text;
    } else if (read == ImageReadResult::kUnreadable) {
        return strings::kProfileUnreadable;
    } else {
        return ImageReadFailureString(read, strings::kProfileWriteError);
    }
    const int32_t code = session->Open(&info);
    return code == icc::kOk ? 0 : SaveFailureString(code);
}

// The destination's file name without its extension: what readers of the
// description's ASCII part see when the text has no ASCII to offer.
void PlainName(const char* destination, char name[kProfilePathSize]) {
    const char* file = destination + platform::FolderPartLength(destination);
    const char* dot = std::strrchr(file, '.');
    size_t length = dot != nullptr && dot != file ? size_t(dot - file) : std::strlen(file);
    if (length >= kProfilePathSize) {
        length = 0;
    }
    std::memcpy(name, file, length);
    name[length] = '\0';
}

// The record's calibration written into the open profile.
int UpdateProfile(IccProfile* profile, const char* description, const char* destination,
                  const MonitorSettings& settings, bool writeRamp, char text[kProfileTextSize]) {
    ProfileInfo info = {};
    char plainName[kProfilePathSize];
    PlainName(destination, plainName);
    info.plainName = plainName;
    // An unchanged description leaves the stored tag as it is.
    if (std::strcmp(text, description) != 0) {
        std::strncpy(text, description, kProfileTextSize - 1);
        text[kProfileTextSize - 1] = '\0';
        info.text = text;
    }
    info.kind = kProfileInfoValues;
    info.intent = 0;
    if (!BuildProfileInfo(settings, writeRamp, &info)) {
        return strings::kNotRgbDisplayProfile;
    }
    int32_t code = IccUpdateProfile(kIccInterfaceVersion, profile, &info);
    // With the table, 'wtpt' says the white it shows, and the monitor's own
    // white goes in a tag of ours; without, 'wtpt' is the monitor's own.
    if (code == icc::kOk && writeRamp) {
        code = WriteNativeWhiteTag(settings.hardwareWhite, profile);
        if (code == icc::kOk) {
            code = WriteVcgtTag(settings.ramp, profile);
        }
    } else if (code == icc::kOk) {
        code = RemoveNativeWhiteTag(profile);
    }
    return code == icc::kOk ? 0 : SaveFailureString(code);
}

}  // namespace

int SaveMonitorProfile(const char* source, const char* destination, const char* description,
                       const MonitorSettings& settings, bool writeRamp) {
    if (source == nullptr || destination == nullptr) {
        return strings::kInternalError;
    }
    if (description == nullptr) {
        description = "";
    }
    IccSession session;
    if (session.InitCode() != icc::kOk) {
        return SaveFailureString(session.InitCode());
    }
    char text[kProfileTextSize] = {};
    int result = OpenSource(source, settings, writeRamp, &session, text);
    if (result == 0) {
        result =
            UpdateProfile(session.Profile(), description, destination, settings, writeRamp, text);
    }
    if (result != 0) {
        return result;
    }
    OutputImage output;
    const int32_t code = output.Write(session.Profile());
    if (code != icc::kOk) {
        return SaveFailureString(code);
    }
    return WriteFileReplacing(destination, output.Bytes(), output.Size())
               ? 0
               : strings::kProfileWriteError;
}

}  // namespace tonalis
