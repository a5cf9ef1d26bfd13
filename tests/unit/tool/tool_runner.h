// Runs the built native tonalis with arguments and collects what it printed.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace tonalis::testing_tool {

struct ToolResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ReadAll(FILE* file) {
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, n);
    }
    return text;
}

// `arguments` is passed through the shell as written.
inline ToolResult RunTool(const std::string& arguments) {
    char errPath[] = "/tmp/tonalis_tool_stderr_XXXXXX";
    const int fd = mkstemp(errPath);
    if (fd < 0) {
        return {};
    }
    close(fd);
    const std::string command =
        std::string("'") + TONALIS_TOOL_PATH + "' " + arguments + " 2>'" + errPath + "'";
    ToolResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe != nullptr) {
        result.out = ReadAll(pipe);
        const int wait = pclose(pipe);
        result.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
    }
    if (FILE* err = std::fopen(errPath, "r")) {
        result.err = ReadAll(err);
        std::fclose(err);
    }
    std::remove(errPath);
    return result;
}

}  // namespace tonalis::testing_tool
