// Replacing a profile file through the real system: a temporary file of its
// own, read-only and device destinations refused, a locked source reported,
// and the Windows 9x way of replacing a file without MoveFileExA.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "model/file_system_calls.h"
#include "model/presets.h"
#include "profile/load_monitor_profile.h"
#include "profile/save_monitor_profile.h"
#include "resources/string_ids.h"

namespace tonalis {
namespace {

using Names = std::vector<std::string>;

Names g_moved;

BOOL WINAPI StubMoveFileEx(LPCSTR, LPCSTR, DWORD) {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

// Records what it moves; the new file cannot take the old one's place.
BOOL WINAPI MoveRefusingTheNewFile(LPCSTR source, LPCSTR destination) {
    g_moved.push_back(std::strrchr(source, '\\') + 1);
    return std::strstr(source, "~tnl") == nullptr && MoveFileA(source, destination);
}

class FileReplacement : public ::testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
        folder_ = std::string(temp) + "tnl-replacement\\";
        TearDown();
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
        ASSERT_EQ(Save("monitor.icc", "Old"), 0);
    }
    void TearDown() override {
        g_fileSystemCalls = saved_;
        for (const std::string& name : Files()) {
            SetFileAttributesA(Path(name).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(Path(name).c_str());
        }
        RemoveDirectoryA(folder_.c_str());
    }
    std::string Path(const std::string& name) const { return folder_ + name; }
    Names Files() {
        Names names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(Path("*").c_str(), &found);
        for (BOOL more = search != INVALID_HANDLE_VALUE; more;
             more = FindNextFileA(search, &found)) {
            if (found.cFileName[0] != '.') {
                names.push_back(found.cFileName);
            }
        }
        FindClose(search);
        std::sort(names.begin(), names.end());
        return names;
    }
    int Save(const std::string& name, const char* description, const char* source = "") {
        MonitorSettings settings = {};
        settings.hardwareWhite = GetWhitePreset(kDefaultWhitePreset);
        GetPhosphorPreset(kDefaultPhosphorPreset, settings.primaries);
        settings.gamma[0] = settings.gamma[1] = settings.gamma[2] = 2.2;
        const std::string path = name == "NUL" ? name : Path(name);
        return SaveMonitorProfile(source, path.c_str(), description, settings, false);
    }
    std::string Description(const std::string& name) {
        MonitorSettings loaded = {};
        return LoadMonitorProfile(Path(name).c_str(), &loaded) == 0 ? loaded.description : "(none)";
    }

    std::string folder_;
    FileSystemCalls saved_ = g_fileSystemCalls;
};

TEST_F(FileReplacement, OnlyAWritableFileIsReplacedThroughATemporaryFileOfItsOwn) {
    ASSERT_TRUE(SetFileAttributesA(Path("monitor.icc").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(Save("monitor.icc", "New"), strings::kProfileWriteError);
    ASSERT_TRUE(SetFileAttributesA(Path("monitor.icc").c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(Save("NUL", "New"), strings::kProfileWriteError);

    // Another program holds the source open: reported, and nothing is written.
    HANDLE lock =
        CreateFileA(Path("monitor.icc").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, 0);
    EXPECT_EQ(Save("other.icc", "New", Path("monitor.icc").c_str()), strings::kProfileUnreadable);
    CloseHandle(lock);

    // A temporary name that another save holds is left to it.
    ASSERT_TRUE(CopyFileA(Path("monitor.icc").c_str(), Path("~tnl00.tmp").c_str(), TRUE));
    EXPECT_EQ(Save("monitor.icc", "New"), 0);
    EXPECT_EQ(Description("monitor.icc"), "New");
    EXPECT_EQ(Description("~tnl00.tmp"), "Old");
    EXPECT_EQ(Files(), (Names{"monitor.icc", "~tnl00.tmp"}));
}

TEST_F(FileReplacement, WithoutMoveFileExTheOldFileStepsAsideAndComesBack) {
    g_fileSystemCalls.moveFileEx = nullptr;
    ASSERT_TRUE(
        CopyFileA(Path("monitor.icc").c_str(), Path("monitor.icc.old~").c_str(), TRUE));  // stale
    EXPECT_EQ(Save("monitor.icc", "New"), 0);
    EXPECT_EQ(Description("monitor.icc"), "New");
    EXPECT_EQ(Files(), Names{"monitor.icc"});

    g_fileSystemCalls.moveFileEx = StubMoveFileEx;
    g_fileSystemCalls.moveFile = MoveRefusingTheNewFile;
    g_moved.clear();
    EXPECT_EQ(Save("monitor.icc", "Newer"), strings::kProfileWriteError);
    EXPECT_EQ(g_moved, (Names{"monitor.icc", "~tnl00.tmp", "monitor.icc.old~"}));
    EXPECT_EQ(Description("monitor.icc"), "New");
    EXPECT_EQ(Files(), Names{"monitor.icc"});
}

}  // namespace
}  // namespace tonalis
