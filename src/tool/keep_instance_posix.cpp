// The keeper's lock: flock on a file that names the display, so that a
// keeper that died leaves no lock behind.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tool/keep_instance.h"
#include "tool/text_format.h"
#include "tool/tool_error.h"

namespace tonalis::tool {

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

}  // namespace

std::string DisplayKey(const std::string& display) {
    std::string key = display;
    const size_t colon = key.rfind(':');
    const size_t dot = key.find('.', colon == std::string::npos ? 0 : colon);
    if (colon != std::string::npos && dot != std::string::npos) {
        key.erase(dot);
    }
    return key;
}

KeepInstance::KeepInstance(const std::string& display) {
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

KeepInstance::~KeepInstance() {
    if (held_) {
        unlink(statusPath_.c_str());
    }
    close(fd_);
}

bool KeepInstance::Acquire() {
    if (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        return false;
    }
    held_ = true;
    const std::string pid = Format("%d\n", static_cast<int>(getpid()));
    if (ftruncate(fd_, 0) != 0 || pwrite(fd_, pid.data(), pid.size(), 0) < 0) {
        throw ToolError(kExitFailure, "cannot write the lock " + path_);
    }
    return true;
}

int KeepInstance::RunningProcess() {
    if (flock(fd_, LOCK_SH | LOCK_NB) == 0) {
        flock(fd_, LOCK_UN);
        return 0;
    }
    char text[32] = {};
    const ssize_t got = pread(fd_, text, sizeof text - 1, 0);
    return got > 0 ? std::atoi(text) : 0;
}

bool KeepInstance::WaitUntilFree(double seconds) {
    for (double waited = 0; waited < seconds; waited += 0.02) {
        if (RunningProcess() == 0) {
            return true;
        }
        PauseBriefly();
    }
    return RunningProcess() == 0;
}

}  // namespace tonalis::tool
