// Prints the shown Control Panel's list, one item a line in UTF-8, and opens
// the item named on the command line as Enter does; exits 1 when no list shows
// within 60 s. List-view messages carry pointers, so they point into memory of
// the Control Panel's process (both 32-bit).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>

namespace {

struct RemoteItem {
    LVITEMW item;
    wchar_t text[260];
};

// The frame is shown only once its list is filled.
BOOL CALLBACK FindShownList(HWND top, LPARAM found) {
    HWND list = FindWindowExW(top, nullptr, WC_LISTVIEWW, nullptr);
    if (list != nullptr && IsWindowVisible(top)) {
        *reinterpret_cast<HWND*>(found) = list;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    HWND list = nullptr;
    for (int tries = 0; tries < 600 && list == nullptr; ++tries) {
        EnumWindows(FindShownList, reinterpret_cast<LPARAM>(&list));
        Sleep(list == nullptr ? 100 : 0);
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    HANDLE process =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (list == nullptr || process == nullptr) {
        std::fprintf(stderr, "no Control Panel list is shown\n");
        return 1;
    }
    auto* remote = static_cast<RemoteItem*>(
        VirtualAllocEx(process, nullptr, sizeof(RemoteItem), MEM_COMMIT, PAGE_READWRITE));
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        RemoteItem local = {};
        local.item.pszText = remote->text;
        local.item.cchTextMax = 260;
        WriteProcessMemory(process, &remote->item, &local.item, sizeof local.item, nullptr);
        SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&remote->item));
        ReadProcessMemory(process, remote->text, local.text, sizeof local.text - 2, nullptr);
        char utf8[1024] = "";
        WideCharToMultiByte(CP_UTF8, 0, local.text, -1, utf8, sizeof utf8 - 1, nullptr, nullptr);
        std::printf("%s\n", utf8);
        if (argc > 1 && std::wcscmp(local.text, argv[1]) == 0) {
            LVITEMW state = {};
            state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
            WriteProcessMemory(process, &remote->item, &state, sizeof state, nullptr);
            SendMessageW(list, LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&remote->item));
            PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
        }
    }
    std::fflush(stdout);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return 0;
}
