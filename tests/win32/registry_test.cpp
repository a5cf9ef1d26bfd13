// The values kept in the real Wine registry: round trips, read fallbacks, result
// codes, and the strings the key paths are made of.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "session/session_context.h"
#include "applet_seams.h"
#include "profile/registry.h"
#include "system_seams.h"

namespace tonalis {
namespace {

using namespace testing;

constexpr char kUserKey[] = "SOFTWARE\\Orvane\\Tonalis";
constexpr char kMachineKey[] = "SOFTWARE\\Orvane\\Color\\Monitor";
constexpr char kMonitor0Key[] = "SOFTWARE\\Orvane\\Color\\Monitor\\Monitor0";

// The colour folder's parent, found from the library's colour directory here.
std::string ExpectedDefaultPath() {
    std::string directory = LibraryColorDirectory();
    directory.pop_back();
    return directory.substr(0, directory.rfind('\\')) + "\\Color\\Orvane Monitor Settings.icm";
}

std::unique_ptr<SessionContext> NewSession() {
    auto session = std::make_unique<SessionContext>();
    memset(session.get(), 0, sizeof *session);
    session->instance = GetModuleHandleA(nullptr);
    return session;
}

class Registry : public ::testing::Test {
  protected:
    CleanProductKeys clean_;
};

TEST_F(Registry, StringsComeFromTheStringTable) {
    RegistryStrings strings;
    ASSERT_TRUE(LoadRegistryStrings(&strings));
    const int ids[kRegistryStringCount] = {3424, 3425, 3426, 3427, 3428, 3429, 3430, 3431, 2, 3434};
    for (int i = 0; i < kRegistryStringCount; ++i) {
        EXPECT_EQ(strings.text[i], LoadTestString(ids[i])) << "entry " << i;
    }
    FreeRegistryStrings(&strings);
    EXPECT_EQ(strings.text[0], nullptr);
}

TEST_F(Registry, EachFailedStringAllocationReleasesTheOthers) {
    for (int failing = 1; failing <= kRegistryStringCount; ++failing) {
        ScopedFakeProfileSystem fake;
        fake.state().allocationToFail = failing;
        RegistryStrings strings;
        EXPECT_FALSE(LoadRegistryStrings(&strings)) << "allocation " << failing;
        EXPECT_EQ(fake.state().liveAllocations, 0) << "allocation " << failing;
    }
}

TEST_F(Registry, EmptyRegistryGivesZerosAndTheDefaultPath) {
    uint32_t mode = 7;
    uint32_t last = 7;
    ReadUserPreferences(&mode, &last);
    EXPECT_EQ(mode, 0u);
    EXPECT_EQ(last, 0u);

    char path[kProfilePathSize] = {};
    EXPECT_EQ(ReadMonitorProfilePath(0, path, sizeof path), 0);
    EXPECT_EQ(path, ExpectedDefaultPath());
}

TEST_F(Registry, UserPreferencesRoundTripAsDwords) {
    EXPECT_EQ(WriteUserPreferences(2, 1), 0);
    uint32_t mode = 0;
    uint32_t last = 0;
    ReadUserPreferences(&mode, &last);
    EXPECT_EQ(mode, 2u);
    EXPECT_EQ(last, 1u);
    DWORD value = 0;
    EXPECT_TRUE(QueryDword(HKEY_CURRENT_USER, kUserKey, "WizardOrPanel", &value));
    EXPECT_TRUE(QueryDword(HKEY_CURRENT_USER, kUserKey, "LastCalibratedMonitor", &value));
}

TEST_F(Registry, FinishingOnTheSecondOfTwoMonitorsRemembersIt) {
    auto session = NewSession();
    session->monitorCount = 2;
    session->monitors[1].isPrimary = 1;
    strcpy(session->workingSettings.profilePath, "C:\\no such folder\\calibrated.icm");

    EXPECT_EQ(WriteMonitorProfilePath(session.get(), 1), 0);
    EXPECT_EQ(WritePrimaryMonitor(session.get()), 0);
    EXPECT_EQ(WriteUserPreferences(1, 1), 0);

    DWORD type = 0;
    std::string stored;
    ASSERT_TRUE(QueryValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvane\\Color\\Monitor\\Monitor1",
                           "Monitor Profile", &type, &stored));
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(stored, std::string("C:\\no such folder\\calibrated.icm") + '\0');
    DWORD value = 9;
    EXPECT_TRUE(QueryDword(HKEY_LOCAL_MACHINE, kMachineKey, "Primary Monitor", &value));
    EXPECT_EQ(value, 1u);
    char path[kProfilePathSize] = {};
    EXPECT_EQ(ReadMonitorProfilePath(1, path, sizeof path), 0);
    EXPECT_STREQ(path, "C:\\no such folder\\calibrated.icm");
}

struct StoredPathCase {
    const char* name;
    DWORD type;
    const char* stored;
    uint32_t bufferSize;
    int result;
    const char* expected;  // null: the default path; "" : the buffer untouched
};

class StoredProfilePath : public Registry, public ::testing::WithParamInterface<StoredPathCase> {};

TEST_P(StoredProfilePath, IsReadOrFallsBack) {
    const StoredPathCase& c = GetParam();
    if (c.stored != nullptr) {
        SetValue(HKEY_LOCAL_MACHINE, kMonitor0Key, "Monitor Profile", c.type, c.stored,
                 static_cast<DWORD>(strlen(c.stored) + 1));
    }
    char path[kProfilePathSize];
    memset(path, 'x', sizeof path);
    path[sizeof path - 1] = '\0';
    const std::string untouched = path;

    EXPECT_EQ(ReadMonitorProfilePath(0, path, c.bufferSize), c.result);
    if (c.expected == nullptr) {
        EXPECT_EQ(path, ExpectedDefaultPath());
    } else if (*c.expected == '\0') {
        EXPECT_EQ(path, untouched);
    } else {
        EXPECT_STREQ(path, c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredProfilePath,
    ::testing::Values(
        StoredPathCase{"Missing", REG_SZ, nullptr, kProfilePathSize, 0, nullptr},
        StoredPathCase{"Stored", REG_SZ, "D:\\p\\m.icm", kProfilePathSize, 0, "D:\\p\\m.icm"},
        StoredPathCase{"ExactFit", REG_SZ, "D:\\p\\m.icm", 11, 0, "D:\\p\\m.icm"},
        StoredPathCase{"ExpandString", REG_EXPAND_SZ, "%WINDIR%\\m.icm", kProfilePathSize, 0,
                       nullptr},
        StoredPathCase{"Binary", REG_BINARY, "D:\\p\\m.icm", kProfilePathSize, 0, nullptr},
        StoredPathCase{"LongerThanTheBuffer", REG_SZ, "D:\\p\\m.icm", 10, -4, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Registry, BadArgumentsTouchNothing) {
    char path[kProfilePathSize] = "unchanged";
    EXPECT_EQ(ReadMonitorProfilePath(1000, path, sizeof path), -4);
    EXPECT_EQ(ReadMonitorProfilePath(0, path, 1), -4);
    EXPECT_EQ(ReadMonitorProfilePath(0, nullptr, sizeof path), -4);
    EXPECT_EQ(GetDefaultProfilePath(nullptr, sizeof path), -4);
    EXPECT_STREQ(path, "unchanged");

    auto session = NewSession();
    EXPECT_EQ(WriteMonitorProfilePath(session.get(), 1000), -4);
    HKEY key;
    EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvane", 0, KEY_READ, &key),
              ERROR_SUCCESS);
}

TEST_F(Registry, DefaultPathMustFitTheBuffer) {
    const std::string expected = ExpectedDefaultPath();
    char path[kProfilePathSize] = "unchanged";
    // 35 bytes hold the tail alone; 36 pass that check but not the whole path.
    EXPECT_EQ(GetDefaultProfilePath(path, 35), -4);
    EXPECT_EQ(GetDefaultProfilePath(path, 36), -4);
    EXPECT_EQ(GetDefaultProfilePath(path, static_cast<uint32_t>(expected.size())), -4);
    EXPECT_STREQ(path, "unchanged");
    EXPECT_EQ(GetDefaultProfilePath(path, static_cast<uint32_t>(expected.size() + 1)), 0);
    EXPECT_EQ(path, expected);
}

TEST_F(Registry, NoColourDirectoryMeansNoDefaultPath) {
    ScopedFakeProfileSystem fake;
    fake.state().colorLibraryMissing = true;
    fake.state().systemDirectoryFails = true;
    char path[kProfilePathSize] = "unchanged";
    EXPECT_NE(GetDefaultProfilePath(path, sizeof path), 0);
    EXPECT_NE(ReadMonitorProfilePath(0, path, sizeof path), 0);
    EXPECT_STREQ(path, "unchanged");
}

TEST_F(Registry, NoMemoryForTheStrings) {
    ScopedFakeProfileSystem fake;
    fake.state().everyAllocationFails = true;
    auto session = NewSession();
    session->monitorCount = 1;
    session->monitors[0].isPrimary = 1;
    char path[kProfilePathSize] = {};
    EXPECT_EQ(GetDefaultProfilePath(path, sizeof path), -3);
    EXPECT_EQ(ReadMonitorProfilePath(0, path, sizeof path), -3);
    EXPECT_EQ(WriteMonitorProfilePath(session.get(), 0), -3);
    EXPECT_EQ(WritePrimaryMonitor(session.get()), -3);
    EXPECT_EQ(WriteUserPreferences(1, 0), -3);
    uint32_t mode = 5;
    uint32_t last = 5;
    ReadUserPreferences(&mode, &last);
    EXPECT_EQ(mode + last, 0u);
}

}  // namespace
}  // namespace tonalis
