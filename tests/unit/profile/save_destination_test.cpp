// What a save may replace and how: only a regular file that may be written,
// with its permission bits and the links that lead to it, through a temporary
// file of its own; and never a fresh profile in place of a source it cannot read.
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
    int Save(const std::string& destination, const char* description = "New",
             const std::string& source = "") {
        return SaveMonitorProfile(source.c_str(), destination.c_str(), description,
                                  DefaultSettings(), true);
    }
    std::string Description(const std::string& path) {
        MonitorSettings loaded = {};
        return LoadMonitorProfile(path.c_str(), &loaded) == 0 ? loaded.description : "(unreadable)";
    }
    std::string LinkTarget(const std::string& path) {
        char target[512] = {};
        return readlink(path.c_str(), target, sizeof target - 1) > 0 ? target : "";
    }
    // Exit statuses keep the low 8 bits of a result.
    static int ExitStatus(pid_t child) {
        int status = 0;
        return waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

TEST_F(SaveDestination, OnlyAWritableRegularFileIsReplaced) {
    const std::string readOnly = Path("read-only.icc"), fifo = Path("fifo.icc");
    ASSERT_EQ(Save(readOnly, "Kept"), 0);
    ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    ASSERT_EQ(symlink("/dev/null", Path("null.icc").c_str()), 0);
    ASSERT_EQ(symlink("nowhere.icc", Path("dangling.icc").c_str()), 0);
    const std::vector<std::string> before = FolderContents();
    for (const char* name : {"read-only.icc", "fifo.icc", "null.icc", "dangling.icc"}) {
        EXPECT_EQ(Save(Path(name)), kWriteError) << name;
    }
    EXPECT_EQ(FolderContents(), before);
    EXPECT_EQ(Description(readOnly), "Kept");
    struct stat status;
    EXPECT_TRUE(stat(fifo.c_str(), &status) == 0 && S_ISFIFO(status.st_mode));
    EXPECT_EQ(LinkTarget(Path("null.icc")), "/dev/null");
}

TEST_F(SaveDestination, AReplacedFileKeepsItsPermissionsAndItsLinks) {
    for (const mode_t mode : {0600, 0640, 0664}) {
        const std::string path = Path("mode.icc");
        ASSERT_EQ(Save(path, "Old"), 0);
        ASSERT_EQ(chmod(path.c_str(), mode), 0);
        ASSERT_EQ(Save(path), 0);
        struct stat status;
        ASSERT_EQ(stat(path.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, mode);
    }
    ASSERT_EQ(Save(Path("real.icc"), "Old"), 0);
    ASSERT_EQ(symlink("real.icc", Path("link.icc").c_str()), 0);
    ASSERT_EQ(Save(Path("link.icc")), 0);
    EXPECT_EQ(LinkTarget(Path("link.icc")), "real.icc");
    EXPECT_EQ(Description(Path("real.icc")), "New");
}

TEST_F(SaveDestination, TheTemporaryFileIsAlwaysANewOne) {
    // Names another program holds, one of them a link planted to catch the write.
    ASSERT_EQ(symlink("elsewhere.bin", Path("~tnl00.tmp").c_str()), 0);
    WriteFile(Path("~tnl01.tmp"), {'t', 'h', 'e', 'i', 'r', 's'});
    const std::string longName = Path(std::string(254, 'n'));
    ASSERT_EQ(Save(longName), 0);
    EXPECT_EQ(Description(longName), "New");
    EXPECT_FALSE(FileExists(Path("elsewhere.bin")));
    EXPECT_EQ(ReadFile(Path("~tnl01.tmp")), Bytes({'t', 'h', 'e', 'i', 'r', 's'}));

    // Writers racing for one file: each succeeds, and the file is whole.
    const std::string shared = Path("shared.icc");
    std::vector<pid_t> writers;
    for (int i = 0; i < 24; ++i) {
        if (const pid_t child = fork(); child == 0) {
            _exit(Save(shared, "Racing"));
        } else {
            writers.push_back(child);
        }
    }
    for (const pid_t child : writers) {
        EXPECT_EQ(ExitStatus(child), 0);
    }
    EXPECT_EQ(Description(shared), "Racing");
    EXPECT_EQ(FolderContents().size(), 4u);
}

TEST_F(SaveDestination, ASourceThatCannotBeReadStopsTheSave) {
    const std::string source = Path("source.icc"), destination = Path("destination.icc");
    ASSERT_EQ(Save(source, "Source"), 0);
    ASSERT_EQ(Save(destination, "Destination"), 0);
    ASSERT_EQ(chmod(source.c_str(), 0), 0);
    ASSERT_EQ(chmod(destination.c_str(), 0666), 0);
    ASSERT_EQ(chmod(folder_.c_str(), 0777), 0);
    const Bytes before = ReadFile(destination);
    // Root reads any file, so the save runs as nobody.
    const pid_t child = fork();
    if (child == 0) {
        _exit(geteuid() != 0 || setuid(65534) == 0 ? Save(destination, "New", source) : 1);
    }
    EXPECT_EQ(ExitStatus(child), kUnreadable & 0xFF);
    EXPECT_EQ(ReadFile(destination), before);
}

}  // namespace
}  // namespace tonalis
