// The English texts of the strings that loading, saving and the phosphor
// checks give, for the tool's messages.
#include "profile/profile_failure_text.h"

#include "model/text_format.h"
#include "model/tool_error.h"
#include "resources/string_ids.h"

namespace tonalis {

namespace {

const char* MessageOf(int stringId) {
    switch (stringId) {
        case strings::kNoMemory:
            return "Not enough memory available.";
        case strings::kInternalError:
            return "Internal parameter error.";
        case strings::kProfileUnreadable:
            return "An error occurred while reading the selected monitor profile.";
        case strings::kNotRgbDisplayProfile:
            return "The selected profile is not a correct RGB display profile.";
        case strings::kProfileWriteError:
            return "An error occurred while writing the monitor profile.";
        case strings::kPhosphorsOutOfRange:
            return "The phosphor values are out of range, please enter correct values.";
        default:
            return "The operation failed.";
    }
}

}  // namespace

std::string StringMessage(int stringId) {
    return Format("%s (string %d)", MessageOf(stringId), stringId);
}

std::string ProfileFailureText(int stringId, const std::string& file) {
    return file + ": " + StringMessage(stringId);
}

void ThrowProfileFailure(int stringId, const std::string& file) {
    throw UsageError(ProfileFailureText(stringId, file));
}

}  // namespace tonalis
