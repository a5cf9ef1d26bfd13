// Selecting displays by number or name, and reading a profile's table for them.
#include "tool/loader_targets.h"

#include <cctype>
#include <cstdlib>

#include "display/display_access.h"
#include "model/text_format.h"
#include "model/tool_error.h"
#include "tool/arguments.h"

namespace tonalis::tool {

namespace {

std::vector<int> InUse(const std::vector<DisplayOutput>& outputs) {
    std::vector<int> indices;
    for (int i = 0; i < static_cast<int>(outputs.size()); ++i) {
        if (outputs[i].inUse) {
            indices.push_back(i);
        }
    }
    return indices;
}

std::string NamesOf(const std::vector<DisplayOutput>& outputs) {
    std::string names;
    for (const DisplayOutput& output : outputs) {
        names += (names.empty() ? "" : ", ") + output.name;
    }
    return names;
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

int ByNumber(const std::string& text, const DisplayAccess& access) {
    const std::vector<int> inUse = InUse(access.Outputs());
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || number < 0 || number >= static_cast<long>(inUse.size())) {
        throw UsageError(Format("no %s number \"%s\": there are %d, numbered from 0", access.Noun(),
                                text.c_str(), static_cast<int>(inUse.size())));
    }
    return inUse[number];
}

int ByName(const std::string& name, const DisplayAccess& access) {
    const std::vector<DisplayOutput>& outputs = access.Outputs();
    for (int i = 0; i < static_cast<int>(outputs.size()); ++i) {
        if (SameName(outputs[i].name, name)) {
            return i;
        }
    }
    throw UsageError(Format("no %s named \"%s\"; the %ss are: %s", access.Noun(), name.c_str(),
                            access.Noun(), NamesOf(outputs).c_str()));
}

}  // namespace

std::vector<int> SelectOutputs(const Arguments& arguments, const DisplayAccess& access) {
    const std::string* number = arguments.Value(kMonitorOption.name);
    const std::string* name = arguments.Value(kOutputOption.name);
    if (number != nullptr && name != nullptr) {
        throw UsageError("give --monitor or --output, not both");
    }
    std::vector<int> selected;
    if (number != nullptr) {
        selected.push_back(ByNumber(*number, access));
    } else if (name != nullptr) {
        selected.push_back(ByName(*name, access));
    } else {
        selected = InUse(access.Outputs());
    }
    std::string withoutTable;
    for (int index : selected) {
        const DisplayOutput& output = access.Outputs()[index];
        if (output.gammaSize > 0) {
            continue;
        }
        withoutTable +=
            Format("%s%s %s", withoutTable.empty() ? "" : "; ", access.Noun(), output.name.c_str());
        withoutTable += output.inUse ? " is connected but its CRTC has a gamma size of 0"
                                     : (output.connectedButOff ? " is connected but switched off"
                                                               : " is not in use");
    }
    if (!withoutTable.empty()) {
        throw UsageError("no gamma table to reach: " + withoutTable + "; nothing was changed");
    }
    if (selected.empty()) {
        throw UsageError(Format("no %s is in use; the %ss are: %s", access.Noun(), access.Noun(),
                                NamesOf(access.Outputs()).c_str()));
    }
    return selected;
}

std::vector<int> OutputsSwitchedOff(const Arguments& arguments, const DisplayAccess& access) {
    std::vector<int> off;
    if (arguments.Has(kMonitorOption.name) || arguments.Has(kOutputOption.name)) {
        return off;
    }
    for (int i = 0; i < static_cast<int>(access.Outputs().size()); ++i) {
        if (access.Outputs()[i].connectedButOff) {
            off.push_back(i);
        }
    }
    return off;
}

}  // namespace tonalis::tool
