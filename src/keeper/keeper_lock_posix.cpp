// The keeper's lock: a record lock on a file that names the display, so that
// a keeper that died leaves no lock behind and the lock names its holder.
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "keeper/keeper_lock.h"
#include "model/platform.h"
#include "model/text_format.h"
#include "model/tool_error.h"

namespace tonalis {

namespace {

std::string LockFolder(std::string* userPart) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat folder;
    if (runtime != nullptr && *runtime == '/' && stat(runtime, &folder) == 0 &&
        S_ISDIR(folder.st_mode)) {
        return runtime;
    }
    *userPart = Format("%u-", static_cast<unsigned>(getuid()));
    return "/tmp";
}

void PauseBriefly() {
    const timespec pause = {0, 20 * 1000 * 1000};
    nanosleep(&pause, nullptr);
}

// The whole file, for writing.
struct flock WholeFile() {
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    return lock;
}

}  // namespace

KeeperLock::KeeperLock(const std::string& display) {
    std::string userPart;
    const std::string folder = LockFolder(&userPart);
    std::string name = DisplayKey(display);
    for (char& c : name) {
        if (c == '/') {
            c = '_';
        }
    }
    path_ = folder + "/tonalis-keep-" + userPart + name + ".lock";
    statusPath_ = folder + "/tonalis-keep-" + userPart + name + ".status";
    // Never through a link another user left in /tmp, never another user's file.
    fd_ = open(path_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    struct stat file;
    if (fd_ < 0 || fstat(fd_, &file) != 0 || file.st_uid != getuid()) {
        throw ToolError(kExitFailure, Format("cannot use the lock %s: %s", path_.c_str(),
                                             fd_ < 0 ? std::strerror(errno) : "not the user's"));
    }
}

KeeperLock::~KeeperLock() {
    if (held_) {
        unlink(statusPath_.c_str());
    }
    close(fd_);
}

// A record lock, not flock: F_GETLK tells any other process who holds it.
// The keeper opens the file once, as closing any of its descriptors drops it.
bool KeeperLock::Acquire() {
    struct flock lock = WholeFile();
    held_ = fcntl(fd_, F_SETLK, &lock) == 0;
    return held_;
}

int KeeperLock::RunningProcess() {
    struct flock lock = WholeFile();
    if (fcntl(fd_, F_GETLK, &lock) != 0 || lock.l_type == F_UNLCK) {
        return 0;
    }
    return static_cast<int>(lock.l_pid);
}

bool KeeperLock::WaitUntilFree(double seconds) {
    for (double waited = 0; waited < seconds; waited += 0.02) {
        if (RunningProcess() == 0) {
            return true;
        }
        PauseBriefly();
    }
    return RunningProcess() == 0;
}

bool KeeperLock::WriteStatus(const std::string& text) {
    // A new file only: a link or another user's file under the name refuses it.
    const std::string partial = statusPath_ + ".new";
    unlink(partial.c_str());
    if (platform::WriteNewFile(partial.c_str(), reinterpret_cast<const uint8_t*>(text.data()),
                               text.size(), 0600) != platform::NewFileResult::kWritten) {
        return false;
    }
    if (rename(partial.c_str(), statusPath_.c_str()) != 0) {
        unlink(partial.c_str());
        return false;
    }
    return true;
}

bool KeeperLock::ReadStatus(std::string* text) {
    const int file = open(statusPath_.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    struct stat status;
    if (file < 0 || fstat(file, &status) != 0 || status.st_uid != getuid()) {
        if (file >= 0) {
            close(file);
        }
        return false;
    }
    char buffer[4096];
    ssize_t got;
    while ((got = read(file, buffer, sizeof buffer)) > 0) {
        text->append(buffer, static_cast<size_t>(got));
    }
    close(file);
    return true;
}

void KeeperLock::ClearStatus() {
    unlink(statusPath_.c_str());
}

}  // namespace tonalis
