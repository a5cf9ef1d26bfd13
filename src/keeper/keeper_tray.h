// The keeper's icon in the notification area: its tooltip, the balloons that
// tell a stand-down or a refusal, and its menu, all from the string table.
#pragma once

#include <windows.h>

#include <string>

namespace tonalis {

// The icon's messages come to the keeper's window as this.
constexpr UINT kKeeperTrayMessage = WM_APP + 1;

// The menu's commands.
enum KeeperCommand : UINT {
    kKeeperCommandReload = 100,
    kKeeperCommandPause,  // 暂停, or 继续 while paused
    kKeeperCommandLinear,
    kKeeperCommandOpenApplet,
    kKeeperCommandQuit,
};

// A string of the table, formatted with one text argument when it takes one.
std::wstring KeeperText(int id, const std::wstring& argument = std::wstring());

class KeeperTray {
  public:
    // Adds the icon; again after Explorer restarted, with the same tooltip.
    void Show(HWND window);
    void Remove();
    void SetTip(const std::wstring& tip);
    void Balloon(const std::wstring& text);

  private:
    bool Notify(DWORD message, UINT flags, const std::wstring& info);

    HWND window_ = nullptr;
    bool shown_ = false;
    std::wstring tip_;
};

// The menu at the cursor; the chosen command is posted to the window.
void ShowKeeperMenu(HWND window, bool paused);
HMENU BuildKeeperMenu(bool paused);

}  // namespace tonalis
