// The colour directory with and without the colour-management library, and the
// normalising of chosen file names in the Chinese code page.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "model/monitor_settings.h"
#include "profile/profile_locations.h"
#include "resources/string_ids.h"
#include "system_seams.h"

namespace tonalis {
namespace {

using namespace testing;

HINSTANCE Instance() {
    return GetModuleHandleA(nullptr);
}

std::string SystemColorDirectory() {
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    return std::string(system) + "\\Color\\";
}

TEST(ColorDirectory, IsTheLibrarysWithABackslash) {
    char directory[kProfilePathSize] = {};
    ASSERT_EQ(GetColorDirectory(Instance(), directory, sizeof directory), 0);
    EXPECT_EQ(directory, LibraryColorDirectory());
    EXPECT_NE(LibraryColorDirectory(), "");
}

TEST(ColorDirectory, WithoutTheLibraryOrItsFunctionIsTheSystemDirectorysColor) {
    for (bool libraryMissing : {true, false}) {
        ScopedFakeProfileSystem fake;
        fake.state().colorLibraryMissing = libraryMissing;
        fake.state().missingProcedures = {"GetColorDirectoryW"};
        char directory[kProfilePathSize] = {};
        ASSERT_EQ(GetColorDirectory(Instance(), directory, sizeof directory), 0);
        EXPECT_EQ(directory, SystemColorDirectory()) << "library missing: " << libraryMissing;
    }
}

TEST(ColorDirectory, FailsWhenNothingFitsOrTheSystemDirectoryIsUnknown) {
    char directory[kProfilePathSize];
    for (DWORD size : {DWORD(0), DWORD(2), DWORD(21), DWORD(30)}) {
        EXPECT_EQ(GetColorDirectory(Instance(), directory, size), strings::kNoSystemDirectory)
            << "size " << size;
    }
    ScopedFakeProfileSystem fake;
    fake.state().colorLibraryMissing = true;
    // The system directory is asked with room for "\Color\" and the terminator.
    const DWORD fits = static_cast<DWORD>(SystemColorDirectory().size()) - 7 + 22;
    EXPECT_EQ(GetColorDirectory(Instance(), directory, fits - 1), strings::kNoSystemDirectory);
    EXPECT_EQ(GetColorDirectory(Instance(), directory, fits), 0);
    EXPECT_EQ(directory, SystemColorDirectory());

    fake.state().systemDirectoryFails = true;
    EXPECT_EQ(GetColorDirectory(Instance(), directory, sizeof directory),
              strings::kNoSystemDirectory);
}

struct FileNameCase {
    const char* name;
    const char* chosen;  // in code page 936
    const char* kept;    // the path the profile is written to
};

class ProfileFileName : public ::testing::TestWithParam<FileNameCase> {};

TEST_P(ProfileFileName, IsNormalised) {
    ASSERT_EQ(GetACP(), 936u) << "the suite runs in the Simplified Chinese code page";
    const FileNameCase& c = GetParam();
    char path[kProfilePathSize] = {};
    strcpy(path, c.chosen);
    FixProfileFileName(path);
    EXPECT_STREQ(path, c.kept);
}

// "\xD6\xD0\xCE\xC4" is U+4E2D U+6587; "\xA8\xA6" and "\xA8\xB9" are U+00E9 and U+00FC.
INSTANTIATE_TEST_SUITE_P(
    Paths, ProfileFileName,
    ::testing::Values(FileNameCase{"ChineseFileName", "C:\\p\\\xD6\xD0\xCE\xC4.icc",
                                   "C:\\p\\\xD6\xD0\xCE\xC4.icc"},
                      FileNameCase{"ChineseFolder", "C:\\\xD6\xD0\xCE\xC4\\my.icm.icc",
                                   "C:\\\xD6\xD0\xCE\xC4\\my.icc"},
                      FileNameCase{"Latin1Letters", "C:\\caf\xA8\xA6\\m\xA8\xB9.icc",
                                   "C:\\caf\xA8\xA6\\m\xA8\xB9.icc"},
                      FileNameCase{"DoubledExtension", "C:\\p\\my.ICM.icc", "C:\\p\\my.icc"},
                      FileNameCase{"Plain", "C:\\p\\my.Icm.icc", "C:\\p\\my.Icm.icc"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tonalis
