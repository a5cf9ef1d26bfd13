// Every way a save can fail: the string it returns, and a destination left
// exactly as it was with no temporary file beside it. And what a save may
// replace: the file a link leads to, keeping the link and the file's
// permission bits, through a temporary file that no one else holds.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>

#include "icc/icc_library.h"
#include "profile/load_monitor_profile.h"
#include "profile/save_monitor_profile.h"
#include "profile_test_support.h"

namespace tonalis {
namespace {

using namespace profile_testing;

// Files above `bytes` cannot grow while this lives: writes fail with EFBIG
// instead of raising SIGXFSZ.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

  private:
    rlimit saved_;
    void (*previous_)(int);
};

// The low 8 bits of what a child process returned, or -1.
int ExitStatus(pid_t child) {
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Description(const std::string& path) {
    MonitorSettings loaded = {};
    return LoadMonitorProfile(path.c_str(), &loaded) == 0 ? loaded.description : "";
}

class SaveFailureTest : public ScratchFolderTest {
  protected:
    void SetUp() override {
        ScratchFolderTest::SetUp();
        // The profile the settings came from, which must survive any failure.
        profile_ = Path("monitor.icc");
        ASSERT_EQ(SaveMonitorProfile("", profile_.c_str(), "Kept", DefaultSettings(), true), 0);
        original_ = ReadFile(profile_);
    }

    // The save fails with `expected`, the monitor's profile is unchanged and
    // the folder holds nothing new.
    void ExpectFailure(const char* what, int expected, const char* source, const char* destination,
                       const MonitorSettings& settings = DefaultSettings()) {
        const std::vector<std::string> before = FolderContents();
        EXPECT_EQ(SaveMonitorProfile(source, destination, "Changed", settings, true), expected)
            << what;
        EXPECT_EQ(ReadFile(profile_), original_) << what;
        EXPECT_EQ(FolderContents(), before) << what;
    }

    std::string Source(const std::string& name, const Bytes& bytes) {
        const std::string path = Path(name);
        WriteFile(path, bytes);
        return path;
    }

    std::string profile_;
    Bytes original_;
};

TEST_F(SaveFailureTest, MissingPaths) {
    ExpectFailure("no source", kInternalError, nullptr, profile_.c_str());
    ExpectFailure("no destination", kInternalError, profile_.c_str(), nullptr);
    ExpectFailure("empty destination", kWriteError, profile_.c_str(), "");
}

TEST_F(SaveFailureTest, SourcesThatCannotBeReadWhole) {
    Bytes header = original_;
    header.resize(3);
    const std::string tiny = Source("tiny.icc", header);
    Bytes cut = original_;
    cut.resize(cut.size() - 1);
    const std::string truncated = Source("truncated.icc", cut);

    ExpectFailure("fewer than four bytes", kWriteError, tiny.c_str(), profile_.c_str());
    ExpectFailure("fewer bytes than announced", kWriteError, truncated.c_str(), profile_.c_str());
}

TEST_F(SaveFailureTest, SourcesThatAnnounceAnImpossibleSize) {
    // Only the first four bytes are there: refused before reading further.
    const std::string huge = Source("huge.icc", {0x00, 0x10, 0x00, 0x01});
    Bytes small(100, 0);
    Put32(small, 0, 100);
    const std::string headerless = Source("small.icc", small);

    ExpectFailure("1048577 bytes", kNotRgbDisplay, huge.c_str(), profile_.c_str());
    ExpectFailure("less than a header", kNotRgbDisplay, headerless.c_str(), profile_.c_str());
}

TEST_F(SaveFailureTest, SourcesThatAreNotRgbMonitorProfiles) {
    const struct {
        const char* what;
        size_t offset;
        const char* value;
    } spoilt[] = {
        {"printer class", 12, "prtr"},
        {"grey colour space", 16, "GRAY"},
    };
    for (const auto& s : spoilt) {
        Bytes bytes = original_;
        Put32(bytes, s.offset, Sig(s.value));
        const std::string source = Source(std::string(s.value) + ".icc", bytes);
        ExpectFailure(s.what, kNotRgbDisplay, source.c_str(), profile_.c_str());
        // Even when the destination is another file, which stays absent.
        const std::string other = Path("other.icc");
        ExpectFailure(s.what, kNotRgbDisplay, source.c_str(), other.c_str());
    }
    const std::string noColorant = Source("no-gXYZ.icc", WithoutTag(original_, "gXYZ"));
    ExpectFailure("a colorant missing", kNotRgbDisplay, noColorant.c_str(), profile_.c_str());
}

TEST_F(SaveFailureTest, DestinationsThatCannotBeWritten) {
    const std::string missingFolder = Path("no-such-folder/monitor.icc");
    ExpectFailure("folder missing", kWriteError, profile_.c_str(), missingFolder.c_str());
    ASSERT_EQ(mkdir(Path("a-folder").c_str(), 0755), 0);
    const std::string folder = Path("a-folder");
    ExpectFailure("a folder in the way", kWriteError, profile_.c_str(), folder.c_str());
    // Read-only even to root, or no regular file: refused and left as they are.
    WriteFile(Path("read-only.icc"), original_);
    ASSERT_EQ(chmod(Path("read-only.icc").c_str(), 0444), 0);
    ASSERT_EQ(mkfifo(Path("fifo.icc").c_str(), 0644), 0);
    ASSERT_EQ(symlink("/dev/null", Path("null.icc").c_str()), 0);
    ASSERT_EQ(symlink("nowhere.icc", Path("dangling.icc").c_str()), 0);
    for (const char* name : {"read-only.icc", "fifo.icc", "null.icc", "dangling.icc"}) {
        ExpectFailure(name, kWriteError, profile_.c_str(), Path(name).c_str());
    }
    EXPECT_EQ(ReadFile(Path("read-only.icc")), original_);
    // Every temporary name held by other saves.
    for (int i = 0; i < 100; ++i) {
        WriteFile(Path("~tnl" + std::to_string(100 + i).substr(1) + ".tmp"), {1});
    }
    ExpectFailure("no temporary name free", kWriteError, profile_.c_str(), profile_.c_str());
}

TEST_F(SaveFailureTest, ASourceThatCannotBeOpenedStopsTheSave) {
    ASSERT_EQ(chmod(profile_.c_str(), 0), 0);
    ASSERT_EQ(chmod(folder_.c_str(), 0777), 0);
    const std::string other = Path("other.icc");
    // Root reads any file, so the save runs as nobody.
    const pid_t child = fork();
    if (child == 0) {
        _exit(geteuid() == 0 && setuid(65534) != 0
                  ? 1
                  : SaveMonitorProfile(profile_.c_str(), other.c_str(), "Changed",
                                       DefaultSettings(), true));
    }
    EXPECT_EQ(ExitStatus(child), kUnreadable & 0xFF);
    EXPECT_FALSE(FileExists(other));
}

TEST_F(SaveFailureTest, AWriteThatStopsShortLeavesTheProfileItUpdates) {
    // Before the fix the destination was opened for writing in place, so a
    // short write over the source destroyed the user's profile.
    ASSERT_GT(original_.size(), 1024u);
    {
        FileSizeLimit limit(1024);
        const std::vector<std::string> before = FolderContents();
        EXPECT_EQ(SaveMonitorProfile(profile_.c_str(), profile_.c_str(), "Changed",
                                     DefaultSettings(), true),
                  kWriteError);
        EXPECT_EQ(FolderContents(), before) << "the temporary file is removed";
    }
    EXPECT_EQ(ReadFile(profile_), original_);
    MonitorSettings loaded = {};
    EXPECT_EQ(LoadMonitorProfile(profile_.c_str(), &loaded), 0);
    EXPECT_STREQ(loaded.description, "Kept");
}

TEST_F(SaveFailureTest, AFailedSaveKeepsATableOfAnotherSize) {
    const Bytes theirs = VcgtTable(IdentityRamp(), 3, 256, 2, 1554);
    Bytes withTheirs = WithTag(WithoutTag(original_, "vcgt"), "vcgt", theirs);
    WriteFile(profile_, withTheirs);
    original_ = withTheirs;
    {
        FileSizeLimit limit(1024);
        EXPECT_EQ(SaveMonitorProfile(profile_.c_str(), profile_.c_str(), "Changed",
                                     DefaultSettings(), true),
                  kWriteError);
    }
    EXPECT_EQ(ReadFile(profile_), original_);
    EXPECT_EQ(TagData(ReadFile(profile_), "vcgt"), theirs);
}

TEST_F(SaveFailureTest, HooksThatSomeoneElseInstalledStayTheirs) {
    const AllocatorHooks hooks = DefaultAllocatorHooks();
    ASSERT_EQ(IccLibInit(&hooks), 0);
    ExpectFailure("library busy", kWriteError, profile_.c_str(), profile_.c_str());
    EXPECT_EQ(IccLibInit(&hooks), -1) << "still installed";
    IccLibShutdown();
    EXPECT_EQ(
        SaveMonitorProfile(profile_.c_str(), profile_.c_str(), "Kept", DefaultSettings(), true), 0);
}

TEST_F(SaveFailureTest, TheSettingsAreNeverChanged) {
    MonitorSettings settings = DefaultSettings();
    settings.ramp.entries[7] = 77;
    const MonitorSettings before = settings;
    ASSERT_EQ(SaveMonitorProfile(profile_.c_str(), profile_.c_str(), "New", settings, true), 0);
    EXPECT_EQ(std::memcmp(&settings, &before, sizeof settings), 0);
    settings.primaries[kRed].y = 0.0;
    const MonitorSettings spoilt = settings;
    ASSERT_EQ(SaveMonitorProfile(profile_.c_str(), profile_.c_str(), "New", settings, true),
              kNotRgbDisplay);
    EXPECT_EQ(std::memcmp(&settings, &spoilt, sizeof settings), 0);
}

using SaveReplacement = SaveFailureTest;

TEST_F(SaveReplacement, AReplacedFileKeepsItsPermissionsAndItsLinks) {
    const std::string link = Path("link.icc");
    ASSERT_EQ(symlink("monitor.icc", link.c_str()), 0);
    for (const mode_t mode : {0600, 0640, 0664}) {
        ASSERT_EQ(chmod(profile_.c_str(), mode), 0);
        ASSERT_EQ(SaveMonitorProfile("", link.c_str(), "New", DefaultSettings(), true), 0);
        struct stat status;
        EXPECT_TRUE(lstat(link.c_str(), &status) == 0 && S_ISLNK(status.st_mode));
        ASSERT_EQ(stat(profile_.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, mode);
    }
    EXPECT_EQ(Description(profile_), "New");
}

TEST_F(SaveReplacement, TheTemporaryFileIsAlwaysANewOne) {
    // Names that another save holds, one of them a link planted to catch the write.
    ASSERT_EQ(symlink("elsewhere.bin", Path("~tnl00.tmp").c_str()), 0);
    WriteFile(Path("~tnl01.tmp"), {1, 2, 3});
    const std::string longName = Path(std::string(254, 'n'));
    ASSERT_EQ(SaveMonitorProfile("", longName.c_str(), "Long", DefaultSettings(), true), 0);
    EXPECT_EQ(Description(longName), "Long");
    EXPECT_FALSE(FileExists(Path("elsewhere.bin")));
    EXPECT_EQ(ReadFile(Path("~tnl01.tmp")), Bytes({1, 2, 3}));

    // Writers racing to update one file: each succeeds, and the file is whole.
    std::vector<pid_t> writers(24);
    for (pid_t& writer : writers) {
        if ((writer = fork()) == 0) {
            _exit(SaveMonitorProfile(profile_.c_str(), profile_.c_str(), "Racing",
                                     DefaultSettings(), true));
        }
    }
    for (const pid_t writer : writers) {
        EXPECT_EQ(ExitStatus(writer), 0);
    }
    EXPECT_EQ(Description(profile_), "Racing");
    EXPECT_EQ(FolderContents().size(), 4u) << "no temporary file is left";
}

}  // namespace
}  // namespace tonalis
