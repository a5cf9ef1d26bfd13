// One keeper per X display and user: a lock on a file named after the
// display, whose holder the lock itself tells, and the file where the keeper
// writes what it keeps on request.
#pragma once

#include <string>

namespace tonalis {

class KeeperLock {
  public:
    // The lock of the display, in $XDG_RUNTIME_DIR, else in /tmp with the
    // user id in the name. Throws ToolError when it cannot be opened.
    explicit KeeperLock(const std::string& display);
    ~KeeperLock();
    KeeperLock(const KeeperLock&) = delete;
    KeeperLock& operator=(const KeeperLock&) = delete;

    // Takes the lock; false when another keeper holds it. A lock left by a
    // dead keeper is free: the system releases it with the process.
    bool Acquire();
    // The id of the keeper that holds the lock, or 0 when none does.
    int RunningProcess();
    // Waits until no keeper holds the lock; false when seconds pass first.
    bool WaitUntilFree(double seconds);

    // The keeper's answer to --status, written whole and then put in place,
    // never through a link nor into another user's file.
    bool WriteStatus(const std::string& text);
    // The answer, once it is there and this user's; false until then.
    bool ReadStatus(std::string* text);
    // Removes the last answer, before asking for a new one.
    void ClearStatus();

  private:
    std::string path_;
    std::string statusPath_;
    int fd_ = -1;
    bool held_ = false;
};

// The X server that DISPLAY names, the same under every spelling, for
// messages and file names: ":N" for a server on this machine (no host,
// "unix", or any name or address of this machine), else "host:N". The
// screen is left out.
std::string DisplayKey(const std::string& display);

}  // namespace tonalis
