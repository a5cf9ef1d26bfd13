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

}  // namespace
}  // namespace tonalis
