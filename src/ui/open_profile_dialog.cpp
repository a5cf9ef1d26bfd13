// The open dialog that loads a monitor profile as the starting point, and its
// hook, which previews the selected file's description in the child template
// 320 and keeps the dialog open on a file that is not an RGB monitor profile.
#include <windows.h>

#include <commdlg.h>

#include "model/unicode_text.h"
#include "model/wide_path_win32.h"
#include "profile/load_monitor_profile.h"
#include "resources/resource.h"
#include "resources/string_ids.h"
#include "session/messages.h"
#include "ui/controls.h"
#include "ui/file_dialog_setup.h"
#include "ui/procedures.h"
#include "ui/profile_dialogs.h"

namespace tonalis {

namespace {

constexpr int kPreviewMessageSize = 160;

HINSTANCE InstanceOf(HWND hook) {
    SessionContext* session = SessionOf(hook);
    return session != nullptr ? session->instance : ModuleInstance();
}

void ShowPreviewString(HWND hook, int id) {
    char text[kPreviewMessageSize] = {};
    LoadStringA(InstanceOf(hook), static_cast<UINT>(id), text, sizeof text);
    SetControlText(hook, IDC_OPEN_PREVIEW, text);
}

// The path selected in the parent file dialog, as UTF-8; false when it
// cannot be had.
bool SelectedPath(HWND hook, char* path, int size) {
    path[0] = '\0';
    wchar_t selected[MAX_PATH];
    int length = CommDlg_OpenSave_GetFilePathW(GetParent(hook), selected, MAX_PATH);
    return length > 0 && length <= MAX_PATH &&
           NarrowPath(selected, path, static_cast<size_t>(size));
}

// A description in the preview, which is a Unicode static for it.
void ShowPreviewDescription(HWND hook, const char* description) {
    wchar_t text[kDescriptionUnits + 1];
    Utf8ToUtf16(description, reinterpret_cast<char16_t*>(text), kDescriptionUnits + 1);
    SetWindowTextW(Control(hook, IDC_OPEN_PREVIEW), text);
}

// Shows the description of the file, else 3408; returns whether it has one.
bool PreviewFile(HWND hook, const char* path) {
    char description[kDescriptionSize] = {};
    if (ReadProfileDescription(path, description, sizeof description) != 0) {
        ShowPreviewString(hook, strings::kNotRgbMonitorProfile);
        return false;
    }
    ShowPreviewDescription(hook, description);
    return true;
}

INT_PTR OnInitDialog(HWND hook, LPARAM lParam) {
    const OPENFILENAMEW* dialog = reinterpret_cast<const OPENFILENAMEW*>(lParam);
    SessionContext* session =
        dialog != nullptr ? reinterpret_cast<SessionContext*>(dialog->lCustData) : nullptr;
    if (session != nullptr) {
        AttachSession(hook, session);
        MakeControlWide(hook, IDC_OPEN_PREVIEW);
        ShowPreviewDescription(hook, session->workingSettings.description);
    }
    return TRUE;
}

INT_PTR OnSelectionChange(HWND hook) {
    char path[kProfilePathSize];
    if (!SelectedPath(hook, path, sizeof path)) {
        ShowPreviewString(hook, strings::kProfileDescriptionUnreadable);
        return TRUE;
    }
    // Nothing is said about a folder or an empty selection, as at the start.
    DWORD attributes = GetFileAttributesW(WidePath(path).get());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        SetControlText(hook, IDC_OPEN_PREVIEW, "");
        return TRUE;
    }
    PreviewFile(hook, path);
    return TRUE;
}

// The file that the dialog is about to return, which is the one to check;
// else what the parent reports as selected.
bool AcceptedPath(HWND hook, const OFNOTIFYW* note, char* path, int size) {
    const OPENFILENAMEW* dialog = note->lpOFN;
    if (dialog != nullptr && dialog->lpstrFile != nullptr && dialog->lpstrFile[0] != L'\0') {
        return NarrowPath(dialog->lpstrFile, path, static_cast<size_t>(size));
    }
    return SelectedPath(hook, path, size);
}

INT_PTR OnFileOk(HWND hook, const OFNOTIFYW* note) {
    char path[kProfilePathSize];
    if (!AcceptedPath(hook, note, path, sizeof path)) {
        ShowPreviewString(hook, strings::kProfileDescriptionUnreadable);
        return SetDialogResult(hook, 0);
    }
    if (!PreviewFile(hook, path)) {
        ShowErrorMessage(GetParent(hook), InstanceOf(hook), strings::kNotRgbMonitorProfile,
                         strings::kProductName);
        return SetDialogResult(hook, 1);
    }
    return SetDialogResult(hook, 0);
}

INT_PTR OnNotify(HWND hook, LPARAM lParam) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    switch (header->code) {
        case CDN_SELCHANGE:
            return OnSelectionChange(hook);
        case CDN_FILEOK:
            return OnFileOk(hook, reinterpret_cast<const OFNOTIFYW*>(lParam));
        case CDN_INITDONE:
            OpenInInitialFolder(hook, reinterpret_cast<const OFNOTIFYW*>(lParam));
            return TRUE;
        case CDN_TYPECHANGE:
        case CDN_FOLDERCHANGE:
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

bool OpenProfileDialog(HWND owner, SessionContext* session) {
    FileDialogBuffers* buffers = NewFileDialogBuffers(*session);
    if (buffers == nullptr) {
        ShowErrorMessage(owner, session->instance, strings::kNoMemory, strings::kProductName);
        return false;
    }
    LoadStringW(session->instance, strings::kOpenProfileTitle, buffers->title,
                sizeof buffers->title / sizeof(wchar_t));
    OPENFILENAMEW dialog;
    FillFileDialog(&dialog, owner, *session, buffers,
                   OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                       OFN_NOCHANGEDIR | OFN_ENABLEHOOK | OFN_ENABLETEMPLATE);
    dialog.lpstrTitle = buffers->title;
    dialog.lpfnHook = TNLOpenfileHook;
    dialog.lpTemplateName = MAKEINTRESOURCEW(IDD_OPEN_PREVIEW);
    dialog.lCustData = reinterpret_cast<LPARAM>(session);

    bool loaded = false;
    if (GetOpenFileNameW(&dialog)) {
        MonitorSettings settings = session->workingSettings;
        // A profile without a table describes the display as the applet found
        // it, not the table of whatever was loaded before.
        const MonitorSettings& start = session->monitors[session->currentMonitor];
        if (start.hasGammaRamp == 1) {
            settings.ramp = start.ramp;
        }
        int result = NarrowPath(buffers->path, buffers->chosen, kProfilePathSize)
                         ? LoadMonitorProfile(buffers->chosen, &settings)
                         : strings::kPathTooLong;
        if (result != 0) {
            ShowErrorMessage(owner, session->instance, result, strings::kProductName);
        } else {
            session->workingSettings = settings;
        }
        loaded = result == 0;
    } else {
        ReportFileDialogEnd(owner, session->instance);
    }
    FreeFileDialogBuffers(buffers);
    return loaded;
}

}  // namespace tonalis

using namespace tonalis;

UINT_PTR CALLBACK TNLOpenfileHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog(hook, lParam);
        case WM_NOTIFY:
            return OnNotify(hook, lParam);
        case WM_DESTROY:
            DetachSession(hook);
            return FALSE;
        default:
            return FALSE;
    }
}
