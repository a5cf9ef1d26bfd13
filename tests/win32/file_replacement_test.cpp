// Replacing a profile file through the real system: a temporary file of its
// own, read-only and device destinations refused, a locked source reported,
// and the Windows 9x way of replacing a file without MoveFileExA.
#include <windows.h>

#include <gtest/gtest.h>

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

std::vector<std::string> g_moves;

BOOL WINAPI StubMoveFileEx(LPCSTR, LPCSTR, DWORD) {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

// Every move is recorded; the new file cannot take the old one's place.
BOOL WINAPI MoveRefusingTheNewFile(LPCSTR source, LPCSTR destination) {
    g_moves.push_back(std::strrchr(source, '\\') + 1);
    if (std::strstr(source, "~tnl") != nullptr) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return MoveFileA(source, destination);
}

class FileReplacement : public ::testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
        folder_ = std::string(temp) + "tnl-replacement\\";
        Clean();
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
        path_ = folder_ + "monitor.icc";
        ASSERT_EQ(Save(path_, "Old"), 0);
    }
    void TearDown() override {
        g_fileSystemCalls = saved_;
        Clean();
    }
    void Clean() {
        for (const std::string& name : Files()) {
            SetFileAttributesA((folder_ + name).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA((folder_ + name).c_str());
        }
        RemoveDirectoryA(folder_.c_str());
    }
    Names Files() const {
        Names names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder_ + "*").c_str(), &found);
        for (BOOL more = search != INVALID_HANDLE_VALUE; more;
             more = FindNextFileA(search, &found)) {
            if (found.cFileName[0] != '.') {
                names.push_back(found.cFileName);
            }
        }
        if (search != INVALID_HANDLE_VALUE) {
            FindClose(search);
        }
        return names;
    }
    static int Save(const std::string& path, const char* description, const char* source = "") {
        MonitorSettings settings = {};
        settings.hardwareWhite = GetWhitePreset(kDefaultWhitePreset);
        GetPhosphorPreset(kDefaultPhosphorPreset, settings.primaries);
        settings.gamma[0] = settings.gamma[1] = settings.gamma[2] = 2.2;
        return SaveMonitorProfile(source, path.c_str(), description, settings, false);
    }
    static std::string Description(const std::string& path) {
        MonitorSettings loaded = {};
        return LoadMonitorProfile(path.c_str(), &loaded) == 0 ? loaded.description : "(none)";
    }
    void Plant(const std::string& name, const char* text) {
        HANDLE file = CreateFileA((folder_ + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, text, DWORD(std::strlen(text)), &written, nullptr);
        CloseHandle(file);
    }

    std::string folder_, path_;
    FileSystemCalls saved_ = g_fileSystemCalls;
};

TEST_F(FileReplacement, OnlyAWritableFileIsReplacedThroughATemporaryFileOfItsOwn) {
    ASSERT_TRUE(SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(Save(path_, "New"), strings::kProfileWriteError);
    ASSERT_TRUE(SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(Save("NUL", "New"), strings::kProfileWriteError);
    EXPECT_EQ(Description(path_), "Old");

    Plant("~tnl00.tmp", "theirs");  // a name another save holds
    EXPECT_EQ(Save(path_, "New"), 0);
    EXPECT_EQ(Description(path_), "New");
    EXPECT_EQ(Files(), (Names{"monitor.icc", "~tnl00.tmp"}));
}

TEST_F(FileReplacement, ASourceThatIsThereButLockedIsReportedAndNothingWritten) {
    HANDLE lock = CreateFileA(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Save(folder_ + "other.icc", "New", path_.c_str()), strings::kProfileUnreadable);
    CloseHandle(lock);
    EXPECT_EQ(Files(), Names{"monitor.icc"});
}

TEST_F(FileReplacement, WithoutMoveFileExTheOldFileStepsAsideAndComesBack) {
    g_fileSystemCalls.moveFileEx = nullptr;
    Plant("monitor.icc.old~", "left by a save that stopped");
    EXPECT_EQ(Save(path_, "New"), 0);
    EXPECT_EQ(Description(path_), "New");
    EXPECT_EQ(Files(), Names{"monitor.icc"});

    g_fileSystemCalls.moveFileEx = StubMoveFileEx;
    g_fileSystemCalls.moveFile = MoveRefusingTheNewFile;
    g_moves.clear();
    EXPECT_EQ(Save(path_, "Newer"), strings::kProfileWriteError);
    EXPECT_EQ(g_moves, (Names{"monitor.icc", "~tnl00.tmp", "monitor.icc.old~"}));
    EXPECT_EQ(Description(path_), "New");
    EXPECT_EQ(Files(), Names{"monitor.icc"});
}

}  // namespace
}  // namespace tonalis
