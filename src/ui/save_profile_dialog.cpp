// The save dialog that writes the working calibration as a monitor profile;
// the path chosen becomes the working settings' profile path.
#include <windows.h>

#include <commdlg.h>

#include <cstring>

#include "profile/profile_locations.h"
#include "profile/save_monitor_profile.h"
#include "resources/string_ids.h"
#include "session/messages.h"
#include "ui/file_dialog_setup.h"
#include "ui/profile_dialogs.h"

namespace tonalis {

namespace {

// Normalises the chosen path and writes the profile there; 0 or the string
// to show.
int SaveToChosenPath(SessionContext* session, char* path) {
    MonitorSettings& working = session->workingSettings;
    int result =
        FixProfileFileName(session->instance, path, static_cast<unsigned>(session->currentMonitor));
    if (result != 0) {
        return result;
    }
    result = SaveMonitorProfile(working.profilePath, path, working.description, working,
                                working.hasGammaRamp != 0);
    if (result != 0) {
        return result;
    }
    std::memcpy(working.profilePath, path, kProfilePathSize);
    working.profilePath[kProfilePathSize - 1] = '\0';
    return 0;
}

}  // namespace

bool SaveProfileDialog(HWND owner, SessionContext* session) {
    FileDialogBuffers* buffers = NewFileDialogBuffers(*session);
    if (buffers == nullptr) {
        ShowErrorMessage(session->instance, strings::kNoMemory, strings::kProductName);
        return false;
    }
    PathFileName(session->workingSettings.profilePath, buffers->path, MAX_PATH);
    OPENFILENAMEA dialog;
    FillFileDialog(&dialog, owner, *session, buffers);
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_CREATEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;

    bool saved = false;
    if (GetSaveFileNameA(&dialog)) {
        int result = SaveToChosenPath(session, buffers->path);
        if (result != 0) {
            ShowErrorMessage(session->instance, result, strings::kProductName);
        }
        saved = result == 0;
    } else {
        ReportFileDialogEnd(session->instance);
    }
    FreeFileDialogBuffers(buffers);
    return saved;
}

}  // namespace tonalis
