// A save replaces the file that a link leads to, keeping the link and the
// file's permission bits, through a temporary file that no one else holds.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "profile/load_monitor_profile.h"
#include "profile/save_monitor_profile.h"
#include "profile_test_support.h"

namespace tonalis {
namespace {

using namespace profile_testing;

class SaveDestination : public ScratchFolderTest {
  protected:
    int Save(const std::string& name, const char* description) {
        return SaveMonitorProfile("", Path(name).c_str(), description, DefaultSettings(), true);
    }
    std::string Description(const std::string& name) {
        MonitorSettings loaded = {};
        return LoadMonitorProfile(Path(name).c_str(), &loaded) == 0 ? loaded.description : "";
    }
};

TEST_F(SaveDestination, AReplacedFileKeepsItsPermissionsAndItsLinks) {
    ASSERT_EQ(Save("real.icc", "Old"), 0);
    ASSERT_EQ(symlink("real.icc", Path("link.icc").c_str()), 0);
    for (const mode_t mode : {0600, 0640, 0664}) {
        ASSERT_EQ(chmod(Path("real.icc").c_str(), mode), 0);
        ASSERT_EQ(Save("link.icc", "New"), 0);
        struct stat status;
        EXPECT_TRUE(lstat(Path("link.icc").c_str(), &status) == 0 && S_ISLNK(status.st_mode));
        ASSERT_EQ(stat(Path("real.icc").c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, mode);
    }
    EXPECT_EQ(Description("real.icc"), "New");
}

TEST_F(SaveDestination, TheTemporaryFileIsAlwaysANewOne) {
    // Names that another save holds, one of them a link planted to catch the write.
    ASSERT_EQ(symlink("elsewhere.bin", Path("~tnl00.tmp").c_str()), 0);
    WriteFile(Path("~tnl01.tmp"), {1, 2, 3});
    const std::string longName(254, 'n');
    ASSERT_EQ(Save(longName, "Long"), 0);
    EXPECT_EQ(Description(longName), "Long");
    EXPECT_FALSE(FileExists(Path("elsewhere.bin")));
    EXPECT_EQ(ReadFile(Path("~tnl01.tmp")), Bytes({1, 2, 3}));

    // Writers racing for one file: each succeeds, and the file is whole.
    std::vector<pid_t> writers(24);
    for (pid_t& writer : writers) {
        if ((writer = fork()) == 0) {
            _exit(Save("shared.icc", "Racing"));
        }
    }
    for (const pid_t writer : writers) {
        int status = -1;
        EXPECT_EQ(waitpid(writer, &status, 0), writer);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(Description("shared.icc"), "Racing");
    EXPECT_EQ(FolderContents().size(), 4u) << "no temporary file is left";
}

}  // namespace
}  // namespace tonalis
