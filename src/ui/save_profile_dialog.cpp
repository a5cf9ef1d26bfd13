// The save dialog that writes the working calibration as a monitor profile;
// the path chosen becomes the working settings' profile path.
#include <windows.h>

#include <commdlg.h>

#include <cstring>

#include "model/wide_path_win32.h"
#include "profile/file_identity.h"
#include "profile/profile_file_name.h"
#include "profile/profile_locations.h"
#include "profile/registry.h"
#include "profile/save_monitor_profile.h"
#include "resources/string_ids.h"
#include "session/messages.h"
#include "ui/controls.h"
#include "ui/file_dialog_setup.h"
#include "ui/profile_dialogs.h"
#include "ui/suggested_file_name.h"

namespace tonalis {

namespace {

// What the hook needs, passed as the dialog's custom data.
struct SaveRequest {
    SessionContext* session;
    bool installsCopy;  // the saved file is to be installed in the colour directory
};

// Normalises the chosen path and writes the profile there; 0 or the string
// to show.
int SaveToChosenPath(SessionContext* session, char* path) {
    MonitorSettings& working = session->workingSettings;
    FixProfileFileName(path);
    int result = SaveMonitorProfile(working.profilePath, path, working.description, working,
                                    working.hasGammaRamp != 0);
    if (result != 0) {
        return result;
    }
    std::memcpy(working.profilePath, path, kProfilePathSize);
    working.profilePath[kProfilePathSize - 1] = '\0';
    return 0;
}

// The name part of the typed text, with one pair of enclosing quotes (which
// only keep the dialog from adding the extension) taken off.
bool TypedNameIsStorable(const wchar_t* typed) {
    int length = lstrlenW(typed);
    if (length == 0) {
        return true;  // nothing typed: a file chosen from the list, which exists
    }
    const wchar_t* name = typed;
    if (length >= 2 && typed[0] == L'"' && typed[length - 1] == L'"') {
        ++name;
        length -= 2;
    }
    int start = length;
    while (start > 0 && name[start - 1] != L'\\' && name[start - 1] != L'/' &&
           !(start == 2 && name[1] == L':')) {
        --start;
    }
    return IsStorableFileName(name + start, static_cast<size_t>(length - start));
}

// Saving would replace a file in the colour directory (the chosen one, or the
// one the installed copy takes the place of) that is not the profile Tonalis
// saved for this monitor: only with the user's consent, No being the default.
bool MayReplaceColorProfile(HWND dialog, const SaveRequest& request, const char* chosen) {
    const SessionContext& session = *request.session;
    char directory[kProfilePathSize];
    if (chosen == nullptr ||
        GetColorDirectory(session.instance, directory, sizeof directory) != 0) {
        return true;
    }
    // The name the file is installed under, once normalised.
    char normalised[kProfilePathSize];
    lstrcpynA(normalised, chosen, sizeof normalised);
    CollapseDoubledExtension(normalised);
    char name[MAX_PATH];
    PathFileName(normalised, name, sizeof name);
    char target[kProfilePathSize + MAX_PATH];
    lstrcpyA(target, directory);
    lstrcatA(target, name);
    if (!FileExists(target) || (!request.installsCopy && !IsSameFile(normalised, target))) {
        return true;
    }
    char registered[kProfilePathSize];
    if (ReadRegisteredProfilePath(static_cast<uint32_t>(session.currentMonitor), registered,
                                  sizeof registered) == kRegistryOk &&
        IsSameFile(target, registered)) {
        return true;
    }
    return AskUser(dialog, session.instance, strings::kReplaceInstalledProfile,
                   strings::kProductName, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDYES;
}

// A name that the file system would change or refuse keeps the dialog open,
// with the reason shown over it, rather than being saved under another name;
// so does a path longer than the applet keeps, and a No to replacing another
// profile in the colour directory.
INT_PTR OnFileOk(HWND hook, const OFNOTIFYW* note) {
    HWND dialog = GetParent(hook);
    const auto* request = reinterpret_cast<const SaveRequest*>(GetPropA(hook, kSessionProperty));
    if (request == nullptr || note->lpOFN == nullptr) {
        return SetDialogResult(hook, 0);
    }
    const SessionContext& session = *request->session;
    wchar_t typed[MAX_PATH] = {};
    CommDlg_OpenSave_GetSpecW(dialog, typed, MAX_PATH);
    char chosen[kProfilePathSize];
    int refusal = 0;
    if (!TypedNameIsStorable(typed)) {
        refusal = strings::kUnusableFileName;
    } else if (!NarrowPath(note->lpOFN->lpstrFile, chosen, sizeof chosen)) {
        refusal = strings::kPathTooLong;
    }
    if (refusal != 0) {
        ShowErrorMessage(dialog, session.instance, refusal, strings::kProductName);
        return SetDialogResult(hook, 1);
    }
    bool refused = !MayReplaceColorProfile(dialog, *request, chosen);
    return SetDialogResult(hook, refused ? 1 : 0);
}

UINT_PTR CALLBACK SaveFileHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetPropA(hook, kSessionProperty,
                     reinterpret_cast<HANDLE>(
                         reinterpret_cast<const OPENFILENAMEW*>(lParam)->lCustData));
            return TRUE;
        case WM_NOTIFY: {
            const auto* note = reinterpret_cast<const OFNOTIFYW*>(lParam);
            if (note->hdr.code == CDN_INITDONE) {
                OpenInInitialFolder(hook, note);
            }
            return note->hdr.code == CDN_FILEOK ? OnFileOk(hook, note) : FALSE;
        }
        case WM_DESTROY:
            RemovePropA(hook, kSessionProperty);
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

bool SaveProfileDialog(HWND owner, SessionContext* session) {
    return SaveProfileDialog(owner, session, true);
}

bool SaveProfileDialog(HWND owner, SessionContext* session, bool installsCopy) {
    FileDialogBuffers* buffers = NewFileDialogBuffers(*session);
    if (buffers == nullptr) {
        ShowErrorMessage(owner, session->instance, strings::kNoMemory, strings::kProductName);
        return false;
    }
    char folder[kProfilePathSize];
    char name[kProfilePathSize];
    NarrowPath(buffers->folder, folder, sizeof folder);
    SuggestFileName(*session, folder, name, sizeof name);
    MultiByteToWideChar(CP_UTF8, 0, name, -1, buffers->path, MAX_PATH);
    OPENFILENAMEW dialog;
    FillFileDialog(&dialog, owner, *session, buffers,
                   OFN_OVERWRITEPROMPT | OFN_CREATEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
                       OFN_EXPLORER | OFN_ENABLEHOOK);
    dialog.lpfnHook = SaveFileHook;
    SaveRequest request = {session, installsCopy};
    dialog.lCustData = reinterpret_cast<LPARAM>(&request);

    bool saved = false;
    if (GetSaveFileNameW(&dialog)) {
        int result = NarrowPath(buffers->path, buffers->chosen, kProfilePathSize)
                         ? SaveToChosenPath(session, buffers->chosen)
                         : strings::kPathTooLong;
        if (result != 0) {
            ShowErrorMessage(owner, session->instance, result, strings::kProductName);
        }
        saved = result == 0;
    } else {
        ReportFileDialogEnd(owner, session->instance);
    }
    FreeFileDialogBuffers(buffers);
    return saved;
}

bool RegisterSavedProfile(HWND owner, SessionContext* session, uint32_t monitor) {
    if (WriteMonitorProfilePath(session, monitor) == kProfileNotInstalled) {
        ShowErrorMessage(owner, session->instance, strings::kProfileWriteError,
                         strings::kProductName);
        return false;
    }
    WritePrimaryMonitor(session);
    return true;
}

}  // namespace tonalis
