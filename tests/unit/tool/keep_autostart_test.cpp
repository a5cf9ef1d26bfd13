// tonalis keep --install-autostart and --remove-autostart, run as a separate
// program in a home of its own: which words make the entry, and what it
// refuses to write.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "tool_runner.h"

namespace tonalis {
namespace {

using testing_tool::RunTool;
using testing_tool::ToolResult;

std::string Contents(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(ToolKeep, AutostartTakesALoneProfileWithEqualsAndRefusesANewlineWritingNothing) {
    char home[] = "/tmp/tonalis_autostart_XXXXXX";
    ASSERT_NE(mkdtemp(home), nullptr);
    const std::string folder = home;
    const std::string entry = folder + "/.config/autostart/tonalis-keep.desktop";
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    const std::string previousHome = std::getenv("HOME") ? std::getenv("HOME") : "/";
    ASSERT_EQ(chdir(home), 0);
    setenv("HOME", home, 1);
    unsetenv("XDG_CONFIG_HOME");
    ASSERT_EQ(RunTool("make -o a=b.icc").status, 0);
    ASSERT_EQ(RunTool("make -o 'new\nline.icc'").status, 0);

    // An existing file named a=b.icc is the profile, not output a's b.icc.
    ToolResult result = RunTool("keep a=b.icc --install-autostart");
    EXPECT_EQ(result.status, 0) << result.err;
    const std::string written = Contents(entry);
    EXPECT_NE(written.find(" keep \"" + folder + "/a=b.icc\"\n"), std::string::npos) << written;

    result = RunTool("keep 'new\nline.icc' --install-autostart");
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("line.icc\" holds a newline"), std::string::npos) << result.err;
    EXPECT_EQ(Contents(entry), written);

    EXPECT_EQ(RunTool("keep --remove-autostart").out, "removed " + entry + "\n");
    result = RunTool("keep --remove-autostart");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "there was no " + entry + "\n");

    ASSERT_EQ(chdir(previous), 0);
    setenv("HOME", previousHome.c_str(), 1);
    EXPECT_EQ(std::system(("rm -rf '" + folder + "'").c_str()), 0);
}

}  // namespace
}  // namespace tonalis
