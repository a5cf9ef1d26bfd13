// The buffers and settings of the open and save dialogs, and the extended
// error of a dialog that ended without a file.
#include "ui/file_dialog_setup.h"

#include <cderr.h>
#include <shlobj.h>

#include <cstring>

#include "resources/string_ids.h"
#include "session/messages.h"
#include "session/system_calls.h"
#include "ui/profile_dialogs.h"

namespace tonalis {

namespace {

// What an Explorer-style file dialog answers with its shell browser.
constexpr UINT kGetShellBrowser = WM_USER + 7;

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

// A folder that the system's dialog cannot reach by its path. In a 32-bit
// process of 64-bit Windows it finds each folder of a path in its parent,
// and the system folder it lists is the 32-bit one, which has no colour
// folder.
bool IsUnreachableFolder(const wchar_t* folder) {
    const DWORD attributes = GetFileAttributesW(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return false;
    }
    PIDLIST_ABSOLUTE item = ILCreateFromPathW(folder);
    ILFree(item);
    return item == nullptr;
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
                    FileDialogBuffers* buffers, DWORD flags) {
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
    // The dialog checks a chosen path by the same walk through its parents;
    // in a folder it cannot reach that way the hooks' own checks stand alone.
    dialog->Flags = flags | (IsUnreachableFolder(buffers->folder) ? OFN_NOVALIDATE : 0);
}

void OpenInInitialFolder(HWND hook, const OFNOTIFYW* note) {
    const wchar_t* wanted = note->lpOFN != nullptr ? note->lpOFN->lpstrInitialDir : nullptr;
    if (wanted == nullptr || !IsUnreachableFolder(wanted)) {
        return;
    }
    // An item list made from the path alone, without walking its parents.
    auto* browser =
        reinterpret_cast<IShellBrowser*>(SendMessageW(GetParent(hook), kGetShellBrowser, 0, 0));
    PIDLIST_ABSOLUTE folder = SHSimpleIDListFromPath(wanted);
    if (browser != nullptr && folder != nullptr) {
        browser->BrowseObject(folder, SBSP_ABSOLUTE);
    }
    ILFree(folder);
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
