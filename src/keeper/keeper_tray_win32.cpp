// The notification-area icon through Shell_NotifyIconW.
#include "keeper/keeper_tray.h"

#include <cwchar>

#include "keeper/keeper_system_calls.h"
#include "resources/resource.h"
#include "resources/string_ids.h"
#include "session/messages.h"

namespace tonalis {

namespace {

constexpr UINT kIconId = 1;

void CopyText(wchar_t* to, size_t size, const std::wstring& from) {
    lstrcpynW(to, from.c_str(), static_cast<int>(size));
}

}  // namespace

std::wstring KeeperText(int id, const std::wstring& argument) {
    wchar_t format[256] = {};
    LoadStringW(ModuleInstance(), static_cast<UINT>(id), format, 256);
    std::wstring text = format;
    const size_t mark = text.find(L"%s");
    if (mark != std::wstring::npos) {
        text.replace(mark, 2, argument);
    }
    return text;
}

bool KeeperTray::Notify(DWORD message, UINT flags, const std::wstring& info) {
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof data;
    data.hWnd = window_;
    data.uID = kIconId;
    data.uFlags = flags;
    data.uCallbackMessage = kKeeperTrayMessage;
    if (flags & NIF_ICON) {
        data.hIcon = LoadIconW(ModuleInstance(), MAKEINTRESOURCEW(IDI_TONALIS));
    }
    CopyText(data.szTip, sizeof data.szTip / sizeof data.szTip[0], tip_);
    if (flags & NIF_INFO) {
        CopyText(data.szInfo, sizeof data.szInfo / sizeof data.szInfo[0], info);
        CopyText(data.szInfoTitle, sizeof data.szInfoTitle / sizeof data.szInfoTitle[0],
                 KeeperText(strings::kProductName));
        data.dwInfoFlags = NIIF_WARNING;
    }
    return g_keeperSystemCalls.shellNotifyIcon(message, &data) != FALSE;
}

void KeeperTray::Show(HWND window) {
    window_ = window;
    shown_ = Notify(NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP, std::wstring());
}

void KeeperTray::Remove() {
    if (shown_) {
        Notify(NIM_DELETE, 0, std::wstring());
        shown_ = false;
    }
}

void KeeperTray::SetTip(const std::wstring& tip) {
    if (tip == tip_) {
        return;
    }
    tip_ = tip;
    if (shown_) {
        Notify(NIM_MODIFY, NIF_TIP, std::wstring());
    }
}

void KeeperTray::Balloon(const std::wstring& text) {
    if (shown_) {
        Notify(NIM_MODIFY, NIF_INFO, text);
    }
}

HMENU BuildKeeperMenu(bool paused) {
    HMENU menu = CreatePopupMenu();
    const struct {
        UINT command;
        int text;
    } items[] = {
        {kKeeperCommandReload, strings::kKeeperMenuReload},
        {kKeeperCommandPause, paused ? strings::kKeeperMenuResume : strings::kKeeperMenuPause},
        {kKeeperCommandLinear, strings::kKeeperMenuLinear},
        {kKeeperCommandOpenApplet, strings::kKeeperMenuOpenApplet},
        {kKeeperCommandQuit, strings::kKeeperMenuQuit},
    };
    for (const auto& item : items) {
        if (item.command == kKeeperCommandQuit) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        }
        AppendMenuW(menu, MF_STRING, item.command, KeeperText(item.text).c_str());
    }
    return menu;
}

void ShowKeeperMenu(HWND window, bool paused) {
    HMENU menu = BuildKeeperMenu(paused);
    POINT cursor = {};
    GetCursorPos(&cursor);
    // Without the window in front, the menu stays open when the user clicks elsewhere.
    SetForegroundWindow(window);
    TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, cursor.x, cursor.y, 0, window, nullptr);
    PostMessageW(window, WM_NULL, 0, 0);
    DestroyMenu(menu);
}

}  // namespace tonalis
