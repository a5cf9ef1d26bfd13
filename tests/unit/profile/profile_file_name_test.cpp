// The string side of normalising a chosen profile file name.
#include "profile/profile_file_name.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace tonalis {
namespace {

struct ExtensionCase {
    const char* path;
    const char* expected;
};

class DoubledExtension : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(DoubledExtension, CollapsesToIcc) {
    char path[360];
    strcpy(path, GetParam().path);
    bool changed = CollapseDoubledExtension(path);
    EXPECT_STREQ(path, GetParam().expected);
    EXPECT_EQ(changed, strcmp(GetParam().path, GetParam().expected) != 0);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, DoubledExtension,
    ::testing::Values(ExtensionCase{"C:\\p\\my.icm.icc", "C:\\p\\my.icc"},
                      ExtensionCase{"C:\\p\\my.ICM.icc", "C:\\p\\my.icc"},
                      ExtensionCase{"C:\\p\\my.Icm.icc", "C:\\p\\my.Icm.icc"},
                      ExtensionCase{"C:\\p\\my.icm.ICC", "C:\\p\\my.icm.ICC"},
                      ExtensionCase{"C:\\p\\a.icm.icc.old", "C:\\p\\a.icc"},
                      ExtensionCase{"C:\\x.icm.icc\\f.icm", "C:\\x.icc"},
                      // The lower-case form wins even where the upper-case one comes first.
                      ExtensionCase{"C:\\a.ICM.icc\\b.icm.icc", "C:\\a.ICM.icc\\b.icc"},
                      ExtensionCase{"C:\\p\\my.icc", "C:\\p\\my.icc"}, ExtensionCase{"", ""}));

TEST(CurrentMonitorPath, NamesTheMonitorInTheColourDirectory) {
    char path[360] = "C:\\\xD6\xD0\xCE\xC4\\my.icc";
    ASSERT_TRUE(FormatCurrentMonitorPath(path, sizeof path, "C:\\colour\\", 1));
    EXPECT_STREQ(path, "C:\\colour\\Orvane Current Monitor1.icc");
    ASSERT_TRUE(FormatCurrentMonitorPath(path, sizeof path, "D:\\", 0));
    EXPECT_STREQ(path, "D:\\Orvane Current Monitor0.icc");
}

TEST(CurrentMonitorPath, ThatDoesNotFitLeavesThePathAlone) {
    const std::string expected = "C:\\colour\\Orvane Current Monitor12.icc";
    char path[64] = "kept";
    EXPECT_FALSE(FormatCurrentMonitorPath(path, expected.size(), "C:\\colour\\", 12));
    EXPECT_STREQ(path, "kept");
    EXPECT_TRUE(FormatCurrentMonitorPath(path, expected.size() + 1, "C:\\colour\\", 12));
    EXPECT_EQ(path, expected);
}

TEST(Latin1, OnlyUnitsAboveFFCount) {
    const wchar_t latin[] = {L'C', L':', 0xE9, 0xFC, 0xFF};
    const wchar_t beyond[] = {L'a', 0x100};
    const wchar_t chinese[] = {0x4E2D, 0x6587};
    EXPECT_FALSE(HasCharacterBeyondLatin1(latin, 5));
    EXPECT_TRUE(HasCharacterBeyondLatin1(beyond, 2));
    EXPECT_FALSE(HasCharacterBeyondLatin1(beyond, 1));
    EXPECT_TRUE(HasCharacterBeyondLatin1(chinese, 2));
}

}  // namespace
}  // namespace tonalis
