// The table a profile holds for a display, refused with a clear message when
// it cannot be used.
#include "display/profile_table.h"

#include <cerrno>
#include <cstdio>

#include "model/platform.h"
#include "profile/load_monitor_profile.h"
#include "profile/profile_failure_text.h"
#include "resources/string_ids.h"

namespace tonalis {

namespace {

// Why a 'vcgt' cannot be loaded, in the words of its layout.
const char* VcgtProblemText(VcgtProblem problem) {
    switch (problem) {
        case VcgtProblem::kUnknownType:
            return "its gamma type is neither a table (0) nor a formula (1)";
        case VcgtProblem::kChannels:
            return "a table has 1 or 3 channels";
        case VcgtProblem::kEntryCount:
            return "a table has at least 2 entries per channel";
        case VcgtProblem::kEntrySize:
            return "a table's entries are 1 or 2 bytes wide";
        case VcgtProblem::kTooShort:
            return "the tag ends before its values do";
        case VcgtProblem::kFormulaGamma:
            return "a formula's gamma is above 0";
        default:
            return "it cannot be read";
    }
}

bool FileIsMissing(const std::string& path) {
    std::FILE* file = platform::OpenFileForReading(path.c_str());
    if (file != nullptr) {
        std::fclose(file);
        return false;
    }
    return errno == ENOENT;
}

// The message for a profile whose table cannot be used; empty when it can.
std::string TableMessage(const std::string& path, int read, VcgtProblem problem) {
    if (read != 0) {
        return read == strings::kProfileUnreadable && FileIsMissing(path)
                   ? path + ": the file does not exist"
                   : ProfileFailureText(read, path);
    }
    if (problem == VcgtProblem::kMissing) {
        return path + ": the profile has no 'vcgt' tag, so it holds no table to load";
    }
    if (problem != VcgtProblem::kNone) {
        return path + ": the profile's 'vcgt' is not a usable table (" + VcgtProblemText(problem) +
               ")";
    }
    return "";
}

}  // namespace

ProfileTable ReadTableOfProfile(const std::string& path) {
    ProfileTable table;
    VcgtProblem problem = VcgtProblem::kNone;
    const int read = ReadProfileCurves(path.c_str(), &table.curves, &problem);
    table.message = TableMessage(path, read, problem);
    if (read != 0) {
        table.problem = TableProblem::kNotProfile;
    } else if (problem == VcgtProblem::kMissing) {
        table.problem = TableProblem::kNoVcgt;
    } else if (problem != VcgtProblem::kNone) {
        table.problem = TableProblem::kUnusableVcgt;
    }
    return table;
}

std::string StoredTableProblem(const StoredTable& stored) {
    if (stored.table == TableVerdict::kRegisteredMissing) {
        return stored.profile + ": the file does not exist";
    }
    return TableMessage(stored.profile, stored.readResult, stored.problem);
}

}  // namespace tonalis
