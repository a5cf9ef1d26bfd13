// The XDG autostart entry of the keeper: a desktop file whose Exec line
// repeats the keeper's arguments, quoted the way desktop files quote them.
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "keeper/keep_autostart.h"
#include "model/text_format.h"
#include "model/tool_error.h"

namespace tonalis {

namespace {

std::string AutostartFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && *config == '/') {
        return std::string(config) + "/autostart";
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home != '/') {
        throw ToolError(kExitFailure, "HOME is not set, so there is no autostart folder");
    }
    return std::string(home) + "/.config/autostart";
}

void MakeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) {
            throw ToolError(kExitFailure,
                            Format("cannot make %s: %s", part.c_str(), std::strerror(errno)));
        }
        if (slash == std::string::npos) {
            return;
        }
    }
}

bool IsControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
}

// A desktop file's line holds no newline, tab or other control character.
void RefuseControls(const std::string& word) {
    const auto control = std::find_if(word.begin(), word.end(), IsControl);
    if (control == word.end()) {
        return;
    }
    std::string shown = word;
    std::replace_if(shown.begin(), shown.end(), IsControl, '?');
    throw UsageError(
        Format("\"%s\" holds a %s, which an autostart entry cannot hold; nothing was written",
               shown.c_str(),
               *control == '\n'   ? "newline"
               : *control == '\t' ? "tab"
                                  : "control character"));
}

// One argument of an Exec line: quoted when it needs to be, then with the
// backslashes and percent signs of a desktop file's string escaped.
std::string ExecWord(const std::string& word) {
    RefuseControls(word);
    std::string quoted = word;
    if (word.empty() || word.find_first_of(" \t\n\"'\\><~|&;$*?#()`=") != std::string::npos) {
        quoted = "\"";
        for (char c : word) {
            if (c == '"' || c == '`' || c == '$' || c == '\\') {
                quoted += '\\';
            }
            quoted += c;
        }
        quoted += "\"";
    }
    std::string escaped;
    for (char c : quoted) {
        escaped += c == '\\' ? "\\\\" : c == '%' ? "%%" : std::string(1, c);
    }
    return escaped;
}

std::string ThisProgram() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, length) : std::string("tonalis");
}

}  // namespace

std::string InstallKeepAutostart(const std::vector<std::string>& words) {
    std::string exec = ExecWord(ThisProgram()) + " keep";
    for (const std::string& word : words) {
        exec += " " + ExecWord(word);
    }
    const std::string folder = AutostartFolder();
    MakeFolders(folder);
    const std::string path = folder + "/tonalis-keep.desktop";
    const std::string text =
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Tonalis calibration keeper\n"
        "Comment=Keeps the monitor calibration loaded\n"
        "Exec=" +
        exec +
        "\n"
        "NoDisplay=true\n"
        "X-GNOME-Autostart-enabled=true\n";
    const std::string partial = path + ".new";
    FILE* file = std::fopen(partial.c_str(), "w");
    const bool written =
        file != nullptr && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (file == nullptr || std::fclose(file) != 0 || !written ||
        std::rename(partial.c_str(), path.c_str()) != 0) {
        std::remove(partial.c_str());
        throw ToolError(kExitFailure, "cannot write " + path);
    }
    return path;
}

bool RemoveKeepAutostart(std::string* path) {
    *path = AutostartFolder() + "/tonalis-keep.desktop";
    if (std::remove(path->c_str()) == 0) {
        return true;
    }
    if (errno != ENOENT) {
        throw ToolError(kExitFailure,
                        Format("cannot delete %s: %s", path->c_str(), std::strerror(errno)));
    }
    return false;
}

}  // namespace tonalis
