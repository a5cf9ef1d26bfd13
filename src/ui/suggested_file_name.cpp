// The first name of the save dialog: a profile's own, or one from its description.
#include "ui/suggested_file_name.h"

#include <windows.h>

#include <string>

#include "model/wide_path_win32.h"
#include "profile/file_identity.h"
#include "profile/profile_file_name.h"
#include "profile/profile_origin.h"
#include "resources/string_ids.h"
#include "ui/profile_dialogs.h"

namespace tonalis {

namespace {

constexpr int kSuggestionAttempts = 99;

// The UTF-8 description as a file name: without the
// characters a name cannot hold, and without the full stops and spaces the
// system drops at its end; the product name when nothing is left.
void NameFromDescription(const SessionContext& session, wchar_t* name) {
    wchar_t description[kDescriptionSize] = {};
    MultiByteToWideChar(CP_UTF8, 0, session.workingSettings.description, -1, description,
                        kDescriptionSize - 1);
    int length = 0;
    for (const wchar_t* c = description; *c != L'\0'; ++c) {
        if (IsStorableFileName(c, 1) || *c == L'.' || *c == L' ') {
            name[length++] = *c;
        }
    }
    while (length > 0 && (name[length - 1] == L'.' || name[length - 1] == L' ')) {
        --length;
    }
    name[length] = L'\0';
    if (length == 0) {
        LoadStringW(session.instance, strings::kProductName, name, kDescriptionSize);
    }
}

}  // namespace

void SuggestFileName(const SessionContext& session, const char* folder, char* name, int size) {
    const char* path = session.workingSettings.profilePath;
    if (IsTonalisProfile(path)) {
        PathFileName(path, name, static_cast<size_t>(size));
        return;
    }
    wchar_t base[kDescriptionSize];
    NameFromDescription(session, base);
    for (int number = 1; number <= kSuggestionAttempts; ++number) {
        wchar_t candidate[kDescriptionSize + 16];
        if (number == 1) {
            wsprintfW(candidate, L"%s.icc", base);
        } else {
            wsprintfW(candidate, L"%s %d.icc", base, number);
        }
        NarrowPath(candidate, name, static_cast<size_t>(size));
        if (folder[0] == '\0' || !FileExists((std::string(folder) + '\\' + name).c_str())) {
            return;
        }
    }
}

}  // namespace tonalis
