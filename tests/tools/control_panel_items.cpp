// Prints the items of the open Control Panel's list as the user sees them, one
// a line in UTF-8, for the installer checks; with an item's name, also opens
// that item as Enter on it would. Exits 1 when no list shows within 60 s.
// Items are read through memory in the Control Panel's process, as list-view
// messages carry pointers; both processes must be 32-bit.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr int kTextChars = 260;

// The remote LVITEMW with its text buffer right after it.
struct RemoteItem {
    LVITEMW item;
    wchar_t text[kTextChars];
};

BOOL CALLBACK FindShownList(HWND top, LPARAM found) {
    HWND list = FindWindowExW(top, nullptr, WC_LISTVIEWW, nullptr);
    // The frame is shown only once its list has been filled.
    if (list == nullptr || !IsWindowVisible(top)) {
        return TRUE;
    }
    *reinterpret_cast<HWND*>(found) = list;
    return FALSE;
}

HWND WaitForList() {
    for (int tries = 0; tries < 600; ++tries) {
        HWND list = nullptr;
        EnumWindows(FindShownList, reinterpret_cast<LPARAM>(&list));
        if (list != nullptr) {
            return list;
        }
        Sleep(100);
    }
    return nullptr;
}

std::wstring ItemText(HWND list, HANDLE process, RemoteItem* remote, int index) {
    RemoteItem local = {};
    local.item.iSubItem = 0;
    local.item.pszText = remote->text;
    local.item.cchTextMax = kTextChars;
    WriteProcessMemory(process, &remote->item, &local.item, sizeof local.item, nullptr);
    SendMessageW(list, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&remote->item));
    ReadProcessMemory(process, remote->text, local.text, sizeof local.text, nullptr);
    local.text[kTextChars - 1] = L'\0';
    return local.text;
}

void Open(HWND list, HANDLE process, RemoteItem* remote, int index) {
    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = state.stateMask;
    WriteProcessMemory(process, &remote->item, &state, sizeof state, nullptr);
    SendMessageW(list, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&remote->item));
    PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
}

void PrintUtf8(const std::wstring& text) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::vector<char> utf8(size > 0 ? size : 1);
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), size, nullptr, nullptr);
    std::printf("%s\n", utf8.data());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    HWND list = WaitForList();
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
        const std::wstring text = ItemText(list, process, remote, i);
        PrintUtf8(text);
        if (argc > 1 && text == argv[1]) {
            Open(list, process, remote, i);
        }
    }
    std::fflush(stdout);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return 0;
}
