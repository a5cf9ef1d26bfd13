// Reaching the keeper of this logon session from another process: the applet
// after a save, a second keeper, and tonalis.exe keep --stop and --status.
#pragma once

#include <windows.h>

#include <string>

namespace tonalis {

// One keeper per logon session holds this mutex.
constexpr wchar_t kKeeperMutexName[] = L"Local\\Tonalis.Keeper";
// Its hidden top-level window, which takes the system's broadcasts.
constexpr wchar_t kKeeperWindowClass[] = L"TonalisKeeper";

// wParam: the monitor whose kept profile is read again and loaded, in the
// applet's numbering; -1 for every monitor.
constexpr UINT kKeeperReloadMessage = WM_APP + 2;
// wParam: a window that gets the status text (UTF-8) as WM_COPYDATA.
constexpr UINT kKeeperStatusMessage = WM_APP + 3;
// The applet's run has ended: what the display holds now is kept.
constexpr UINT kKeeperAppletEndedMessage = WM_APP + 4;

// The running keeper's window and process, or null and 0.
HWND FindKeeperWindow(DWORD* process);

// False when no keeper runs.
bool TellKeeperToReload(int monitor);
// Returns once the keeper has taken the tables the run left, or has not
// answered within a second.
void TellKeeperAppletEnded();

enum class KeeperStop { kStopped, kNoneRunning, kStillRunning };
// Closes the running keeper's window and waits for its process to end.
KeeperStop StopKeeper(DWORD waitMilliseconds);

// What the running keeper keeps; false when none answers.
bool AskKeeperStatus(std::string* text);

// The session's keeper mutex, held while this object lives.
class KeeperMutex {
  public:
    KeeperMutex();
    ~KeeperMutex();
    KeeperMutex(const KeeperMutex&) = delete;
    KeeperMutex& operator=(const KeeperMutex&) = delete;
    // False when another keeper of this session holds it.
    bool held() const { return held_; }

  private:
    HANDLE mutex_ = nullptr;
    bool held_ = false;
};

}  // namespace tonalis
