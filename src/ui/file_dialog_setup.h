// What the open and save dialogs share: their buffers and settings, and the
// report of a dialog that ended without a file.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include "session/session_context.h"

namespace tonalis {

struct FileDialogBuffers {
    char filter[256];
    // 360 bytes, as the save path is rewritten in place; the dialog gets 260.
    char path[kProfilePathSize];
    char folder[MAX_PATH];
    char title[64];
    char extension[16];
};

// Zero-filled buffers with the filter, the starting folder (that of the saved
// settings' profile) and the default extension; null when there is no memory.
FileDialogBuffers* NewFileDialogBuffers(const SessionContext& session);
void FreeFileDialogBuffers(FileDialogBuffers* buffers);

// The settings both dialogs share, pointing into the buffers.
void FillFileDialog(OPENFILENAMEA* dialog, HWND owner, const SessionContext& session,
                    FileDialogBuffers* buffers);

// Shows the message for a dialog that ended without a file: none when the user
// cancelled, 3302 when it ran short of memory, else 3303.
void ReportFileDialogEnd(HWND owner, HINSTANCE instance);

}  // namespace tonalis
