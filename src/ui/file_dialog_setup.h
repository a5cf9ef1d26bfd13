// What the open and save dialogs share: their buffers and settings, and the
// report of a dialog that ended without a file.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include "session/session_context.h"

namespace tonalis {

// The dialogs are the wide ones, so that any name the file system can store
// can be chosen; the chosen path is then kept as UTF-8, as every path is.
struct FileDialogBuffers {
    wchar_t filter[256];
    wchar_t path[MAX_PATH];
    wchar_t folder[MAX_PATH];
    wchar_t title[64];
    wchar_t extension[16];
    // 360 bytes, as the save path is rewritten in place.
    char chosen[kProfilePathSize];
};

// Zero-filled buffers with the filter, the starting folder (that of the saved
// settings' profile) and the default extension; null when there is no memory.
FileDialogBuffers* NewFileDialogBuffers(const SessionContext& session);
void FreeFileDialogBuffers(FileDialogBuffers* buffers);

// The settings both dialogs share, pointing into the buffers, with the flags.
void FillFileDialog(OPENFILENAMEW* dialog, HWND owner, const SessionContext& session,
                    FileDialogBuffers* buffers, DWORD flags);

// For a hook at CDN_INITDONE: opens the dialog in its initial folder when the
// system's dialog could not go there by its path (the colour folder, from a
// 32-bit process of 64-bit Windows).
void OpenInInitialFolder(HWND hook, const OFNOTIFYW* note);

// Shows the message for a dialog that ended without a file: none when the user
// cancelled, 3302 when it ran short of memory, else 3303.
void ReportFileDialogEnd(HWND owner, HINSTANCE instance);

}  // namespace tonalis
