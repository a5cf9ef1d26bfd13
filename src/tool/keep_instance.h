// One keeper per X display and user: a lock file that holds the running
// keeper's process id, and the file where it writes what it keeps on request.
#pragma once

#include <string>

namespace tonalis::tool {

class KeepInstance {
  public:
    // The lock of the display named like DISPLAY, in $XDG_RUNTIME_DIR, else in
    // /tmp with the user id in the name. Throws ToolError when it cannot be opened.
    explicit KeepInstance(const std::string& display);
    ~KeepInstance();
    KeepInstance(const KeepInstance&) = delete;
    KeepInstance& operator=(const KeepInstance&) = delete;

    // Takes the lock and writes this process's id into it; false when another
    // keeper holds it. A lock left by a dead keeper is free: the system
    // releases it with the process.
    bool Acquire();
    // The id of the keeper that holds the lock, or 0 when none does.
    int RunningProcess();
    // Waits until no keeper holds the lock; false when seconds pass first.
    bool WaitUntilFree(double seconds);

    const std::string& StatusPath() const { return statusPath_; }

  private:
    std::string path_;
    std::string statusPath_;
    int fd_ = -1;
    bool held_ = false;
};

// "DISPLAY" without its screen, for messages and file names: ":0", "host:10".
std::string DisplayKey(const std::string& display);

}  // namespace tonalis::tool
