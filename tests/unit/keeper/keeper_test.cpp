// The keeper's decisions on fake monitors and a clock that only moves when the
// test moves it: what is put back and when, and what is left alone; and when
// a kept file is read again.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <map>

#include "keeper/keeper.h"
#include "keeper/kept_file.h"

namespace tonalis::keeper {
namespace {

GammaRamp Flat(uint16_t level) {
    GammaRamp ramp;
    std::fill(std::begin(ramp.entries), std::end(ramp.entries), level);
    return ramp;
}

const GammaRamp kCalibrated = Flat(40000);
const GammaRamp kReset = Flat(65535);

struct FakeMonitor {
    GammaRamp held = kReset;
    GammaRamp kept = kCalibrated;
    bool refuses = false;
    bool unreadable = false;
    int loads = 0;
};

class FakeTables : public MonitorTables {
  public:
    std::vector<std::string> Present() override {
        std::vector<std::string> names;
        for (const auto& entry : monitors) {
            names.push_back(entry.first);
        }
        return names;
    }
    bool Kept(const std::string& name, GammaRamp* ramp) override {
        *ramp = monitors.at(name).kept;
        return true;
    }
    bool Held(const std::string& name, GammaRamp* ramp) override {
        *ramp = monitors.at(name).held;
        return !monitors.at(name).unreadable;
    }
    bool Load(const std::string& name) override {
        FakeMonitor& monitor = monitors.at(name);
        ++monitor.loads;
        if (!monitor.refuses) {
            monitor.held = monitor.kept;
        }
        return true;
    }
    std::map<std::string, FakeMonitor> monitors;
};

std::vector<NoticeKind> Kinds(const std::vector<Notice>& notices) {
    std::vector<NoticeKind> kinds;
    for (const Notice& notice : notices) {
        kinds.push_back(notice.kind);
    }
    return kinds;
}

using KindList = std::vector<NoticeKind>;

constexpr NoticeKind kChange = NoticeKind::kRestoredChange;
constexpr NoticeKind kDown = NoticeKind::kStoodDown;

// Another program resets the monitor's table before each of these checks.
KindList RivalAt(FakeTables& tables, Keeper& keeper, const std::string& name,
                 std::vector<double> times) {
    KindList told;
    for (double t : times) {
        tables.monitors[name].held = kReset;
        for (const Notice& notice : keeper.Tick(t)) {
            told.push_back(notice.kind);
        }
    }
    return told;
}

TEST(Keeper, PutsBackOnlyWhatDiffersBeyondTheReadBackTolerance) {
    FakeTables tables;
    tables.monitors["DP-1"];
    Keeper keeper(tables);
    EXPECT_EQ(Kinds(keeper.Start(100.0)), KindList{NoticeKind::kLoaded});
    EXPECT_DOUBLE_EQ(keeper.NextCheck(), 102.0);

    // Two 8-bit levels off is what a display keeps of a table: no rewrite.
    tables.monitors["DP-1"].held = Flat(40000 + 514);
    EXPECT_TRUE(keeper.Tick(102.0).empty());
    EXPECT_EQ(tables.monitors["DP-1"].loads, 1);

    tables.monitors["DP-1"].held = Flat(40000 + 515);
    EXPECT_EQ(Kinds(keeper.Tick(104.0)), KindList{NoticeKind::kRestoredChange});
    EXPECT_EQ(tables.monitors["DP-1"].held.entries[0], 40000);

    // A mode change is checked at once, and is no rival.
    tables.monitors["DP-1"].held = kReset;
    EXPECT_EQ(Kinds(keeper.Event(104.5, Trigger::kModeChange)),
              KindList{NoticeKind::kRestoredMode});
    EXPECT_EQ(keeper.Monitors()[0].restores, 2);
    EXPECT_EQ(keeper.Monitors()[0].rivalChanges.size(), 1u);
}

TEST(Keeper, ChecksAgainAboutTwoFiveAndFifteenSecondsAfterAWake) {
    FakeTables tables;
    tables.monitors["eDP-1"];
    Keeper keeper(tables, KeeperTiming{60.0});
    keeper.Start(0.0);
    EXPECT_TRUE(keeper.Event(10.0, Trigger::kWake).empty());
    std::vector<double> checks;
    for (int i = 0; i < 3; ++i) {
        const double due = keeper.NextCheck();
        checks.push_back(due - 10.0);
        // The driver puts its own table back late, three times over.
        tables.monitors["eDP-1"].held = kReset;
        EXPECT_EQ(Kinds(keeper.Tick(due)), KindList{NoticeKind::kRestoredWake}) << "at " << due;
    }
    EXPECT_EQ(checks, (std::vector<double>{2.0, 5.0, 15.0}));
    EXPECT_DOUBLE_EQ(keeper.NextCheck(), 85.0);
    EXPECT_FALSE(keeper.Monitors()[0].stoodDown);
}

TEST(Keeper, StandsDownOnTheThirdChangeWithinAMinuteUntilReloaded) {
    FakeTables tables;
    tables.monitors["HDMI-1"];
    tables.monitors["HDMI-2"];
    Keeper keeper(tables);
    keeper.Start(0.0);
    // HDMI-2: three changes, but never two within a minute of a third.
    for (double t : {10.0, 40.0, 71.0, 102.0}) {
        tables.monitors["HDMI-2"].held = kReset;
        EXPECT_EQ(Kinds(keeper.Tick(t)), KindList{NoticeKind::kRestoredChange}) << "at " << t;
    }
    // HDMI-1: a night-light tool that writes its own table every poll.
    std::vector<NoticeKind> told;
    for (double t : {110.0, 112.0, 114.0, 116.0, 118.0}) {
        tables.monitors["HDMI-1"].held = kReset;
        for (const Notice& notice : keeper.Tick(t)) {
            EXPECT_EQ(notice.monitor, "HDMI-1");
            told.push_back(notice.kind);
        }
    }
    EXPECT_EQ(told, (KindList{NoticeKind::kRestoredChange, NoticeKind::kRestoredChange,
                              NoticeKind::kStoodDown}));
    EXPECT_EQ(tables.monitors["HDMI-1"].loads, 3);
    EXPECT_TRUE(keeper.Event(120.0, Trigger::kModeChange).empty());
    EXPECT_EQ(tables.monitors["HDMI-1"].held.entries[0], 65535);

    EXPECT_EQ(Kinds(keeper.Reload(130.0)), KindList{NoticeKind::kRestoredChange});
    EXPECT_EQ(tables.monitors["HDMI-1"].held.entries[0], 40000);
    EXPECT_FALSE(keeper.Monitors()[0].stoodDown);
    // What the reload put back was no rival's: again the third change stands down.
    EXPECT_EQ(RivalAt(tables, keeper, "HDMI-1", {132.0, 134.0, 136.0}),
              (KindList{kChange, kChange, kDown}));
}

TEST(Keeper, RivalChangesCountWithinAMinuteOrThreeChecksWhicheverIsLonger) {
    const struct {
        double interval;
        std::vector<double> times;
        KindList told;
    } cases[] = {
        // 10 is a minute before 70, so 70 is the second change within one, 99.5 the third.
        {2.0, {10.0, 40.0, 70.0, 99.5}, {kChange, kChange, kChange, kDown}},
        // Each poll a little late, as on a loaded system.
        {30.0, {30.1, 60.2, 90.3}, {kChange, kChange, kDown}},
        {60.0, {60.1, 120.2, 180.3}, {kChange, kChange, kDown}},
    };
    for (const auto& c : cases) {
        FakeTables tables;
        Keeper keeper(tables, KeeperTiming{c.interval});
        tables.monitors["DP-1"];
        keeper.Start(0.0);
        EXPECT_EQ(RivalAt(tables, keeper, "DP-1", c.times), c.told) << "every " << c.interval;
    }
}

TEST(Keeper, GivesAModeChangeTwoSecondsAndWritesAnUnreadableMonitorOnlyOnce) {
    FakeTables tables;
    Keeper keeper(tables);
    tables.monitors["DP-1"];
    tables.monitors["VGA-1"].unreadable = true;
    EXPECT_EQ(Kinds(keeper.Start(0.0)), (KindList{NoticeKind::kLoaded, NoticeKind::kLoaded}));
    EXPECT_TRUE(keeper.Event(10.0, Trigger::kModeChange).empty());
    // The driver puts its own table back late, at the end of the grace.
    EXPECT_EQ(RivalAt(tables, keeper, "DP-1", {12.0, 14.0}),
              (KindList{NoticeKind::kRestoredMode, kChange}));
    EXPECT_EQ(keeper.Monitors()[0].rivalChanges.size(), 1u);
    EXPECT_EQ(tables.monitors["VGA-1"].loads, 1);
}

TEST(Keeper, ANewTableOfTheProfileIsLoadedAsTheUsersNeverARivals) {
    FakeTables tables;
    Keeper keeper(tables);
    tables.monitors["DP-1"].refuses = true;
    keeper.Start(0.0);
    // Three calibrations saved in six seconds: no stand-down, and the refusal is over.
    tables.monitors["DP-1"].refuses = false;
    for (double t : {2.0, 4.0, 6.0}) {
        tables.monitors["DP-1"].kept = Flat(static_cast<uint16_t>(30000 + t));
        EXPECT_EQ(Kinds(keeper.Tick(t)), KindList{NoticeKind::kNewTable}) << "at " << t;
    }
    EXPECT_EQ(tables.monitors["DP-1"].held.entries[0], 30006);
    EXPECT_EQ(keeper.Monitors()[0].restores, 0);
}

TEST(Keeper, TellsARefusalOnceAndTriesAgainOnlyAfterAnEvent) {
    FakeTables tables;
    tables.monitors["VGA-1"].refuses = true;
    Keeper keeper(tables);
    EXPECT_EQ(Kinds(keeper.Start(0.0)), KindList{NoticeKind::kRefused});
    EXPECT_TRUE(keeper.Tick(2.0).empty());
    EXPECT_TRUE(keeper.Tick(4.0).empty());
    EXPECT_EQ(tables.monitors["VGA-1"].loads, 1);
    EXPECT_TRUE(keeper.Event(5.0, Trigger::kModeChange).empty());
    EXPECT_EQ(tables.monitors["VGA-1"].loads, 2);
    EXPECT_EQ(keeper.Monitors()[0].restores, 0);

    tables.monitors["VGA-1"].refuses = false;
    EXPECT_EQ(Kinds(keeper.Event(6.0, Trigger::kWake)), KindList{NoticeKind::kRestoredWake});
    EXPECT_EQ(tables.monitors["VGA-1"].held.entries[0], 40000);
    EXPECT_EQ(keeper.Monitors()[0].restores, 1);
}

TEST(Keeper, LoadsANewMonitorAndForgetsOneThatWentAway) {
    FakeTables tables;
    tables.monitors["DP-1"];
    Keeper keeper(tables);
    keeper.Start(0.0);
    tables.monitors.erase("DP-1");
    tables.monitors["DP-2"];
    const std::vector<Notice> notices = keeper.Event(1.0, Trigger::kModeChange);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].monitor, "DP-2");
    EXPECT_EQ(notices[0].kind, NoticeKind::kNewOutput);
    EXPECT_EQ(tables.monitors["DP-2"].held.entries[0], 40000);
    ASSERT_EQ(keeper.Monitors().size(), 1u);
    EXPECT_EQ(keeper.Monitors()[0].name, "DP-2");
}

// A kept file, on real files: each thing the file system tells of it, changed
// alone, makes it due to be read again.
TEST(KeptFile, IsReadAgainWhenItsIdentitySizeOrLastWriteChanges) {
    char folder[] = "/tmp/tonalis_kept_file_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string path = std::string(folder) + "/kept.icc";
    const auto write = [](const std::string& name, const char* text, time_t written) {
        std::ofstream(name) << text;
        const timespec times[2] = {{written, 0}, {written, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, name.c_str(), times, 0), 0);
    };
    KeptFile file;
    const auto due = [&] {
        const bool changed = file.Changed(path);
        file.Read();
        return changed;
    };
    write(path, "first", 1000);
    EXPECT_TRUE(due());
    EXPECT_FALSE(due());
    write(path, "sixth", 1001);  // in place, at the same size
    EXPECT_TRUE(due()) << "last write";
    write(path, "longer", 1001);
    EXPECT_TRUE(due()) << "size";
    write(path + ".new", "longer", 1001);
    ASSERT_EQ(std::rename((path + ".new").c_str(), path.c_str()), 0);
    EXPECT_TRUE(due()) << "identity";
    EXPECT_FALSE(due());
    std::remove(path.c_str());
    EXPECT_EQ(rmdir(folder), 0);
}

}  // namespace
}  // namespace tonalis::keeper
