// The buffers and settings of the open and save dialogs, and the extended
// error of a dialog that ended without a file.
#include "ui/file_dialog_setup.h"

#include <cderr.h>

#include <cstring>

#include "resources/string_ids.h"
#include "session/messages.h"
#include "session/system_calls.h"
#include "ui/profile_dialogs.h"

namespace tonalis {

namespace {

// Appends the string resource and its terminator; false when it does not fit
// with the final terminator of the list.
bool AppendFilterPart(HINSTANCE instance, int id, wchar_t* filter, size_t size, size_t* used) {
    if (*used + 2 > size) {
        return false;
    }
    int length = LoadStringW(instance, static_cast<UINT>(id), filter + *used,
                             static_cast<int>(size - *used - 1));
    *used += static_cast<size_t>(length) + 1;
    return true;
}

// Name and pattern pairs, each part ended by a NUL and the list by another.
void LoadFilter(HINSTANCE instance, wchar_t* filter, size_t size) {
    const int parts[] = {strings::kProfileFilterName, strings::kProfileFilterPattern,
                         strings::kAllFilesFilterName, strings::kAllFilesFilterPattern};
    size_t used = 0;
    for (int id : parts) {
        if (!AppendFilterPart(instance, id, filter, size, &used)) {
            break;
        }
    }
    filter[used < size ? used : size - 1] = L'\0';
}

}  // namespace

FileDialogBuffers* NewFileDialogBuffers(const SessionContext& session) {
    HGLOBAL block = g_appletSystemCalls.globalAlloc(GPTR, sizeof(FileDialogBuffers));
    if (block == nullptr) {
        return nullptr;
    }
    // GPTR memory is fixed: the handle is the address.
    FileDialogBuffers* buffers = static_cast<FileDialogBuffers*>(static_cast<void*>(block));
    LoadFilter(session.instance, buffers->filter, sizeof buffers->filter / sizeof(wchar_t));
    char folder[kProfilePathSize];
    PathDirectory(session.savedSettings.profilePath, folder, sizeof folder);
    MultiByteToWideChar(CP_UTF8, 0, folder, -1, buffers->folder, MAX_PATH);
    LoadStringW(session.instance, strings::kProfileExtension, buffers->extension,
                sizeof buffers->extension / sizeof(wchar_t));
    return buffers;
}

void FreeFileDialogBuffers(FileDialogBuffers* buffers) {
    if (buffers != nullptr) {
        g_appletSystemCalls.globalFree(static_cast<HGLOBAL>(buffers));
    }
}

void FillFileDialog(OPENFILENAMEW* dialog, HWND owner, const SessionContext& session,
                    FileDialogBuffers* buffers) {
    std::memset(dialog, 0, sizeof *dialog);
    // Windows 9x and NT 4 refuse the larger record of later systems.
    dialog->lStructSize = session.isNt5OrLater ? sizeof *dialog : OPENFILENAME_SIZE_VERSION_400W;
    dialog->hwndOwner = owner;
    dialog->hInstance = session.instance;
    dialog->lpstrFilter = buffers->filter;
    dialog->nFilterIndex = 1;
    dialog->lpstrFile = buffers->path;
    dialog->nMaxFile = MAX_PATH;
    dialog->lpstrInitialDir = buffers->folder[0] != L'\0' ? buffers->folder : nullptr;
    dialog->lpstrDefExt = buffers->extension;
}

void ReportFileDialogEnd(HWND owner, HINSTANCE instance) {
    switch (CommDlgExtendedError()) {
        case 0:
            return;
        case CDERR_INITIALIZATION:
        case CDERR_MEMALLOCFAILURE:
        case CDERR_MEMLOCKFAILURE:
        case FNERR_SUBCLASSFAILURE:
            ShowErrorMessage(owner, instance, strings::kNoMemory, strings::kProductName);
            return;
        default:
            ShowErrorMessage(owner, instance, strings::kFileDialogError, strings::kProductName);
            return;
    }
}

}  // namespace tonalis
