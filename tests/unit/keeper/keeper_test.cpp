// The keeper's decisions on fake monitors and a clock that only moves when the
// test moves it: what is put back and when, and what is left alone.
#include <gtest/gtest.h>

#include <map>

#include "keeper/keeper.h"

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

// Another program resets the monitor's table, then the keeper checks at now.
KindList LoseAndTick(FakeTables& tables, Keeper& keeper, const std::string& name, double now) {
    tables.monitors[name].held = kReset;
    return Kinds(keeper.Tick(now));
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
    told.clear();
    for (double t : {132.0, 134.0, 136.0}) {
        for (NoticeKind kind : LoseAndTick(tables, keeper, "HDMI-1", t)) {
            told.push_back(kind);
        }
    }
    EXPECT_EQ(told, (KindList{NoticeKind::kRestoredChange, NoticeKind::kRestoredChange,
                              NoticeKind::kStoodDown}));
}

TEST(Keeper, TheMinuteOfRivalChangesEndsExactlySixtySecondsBack) {
    FakeTables tables;
    tables.monitors["HDMI-1"];
    Keeper keeper(tables);
    keeper.Start(0.0);
    // The change at 10 is a minute old at 70, so 70 is only the second within one.
    for (double t : {10.0, 40.0, 70.0}) {
        EXPECT_EQ(LoseAndTick(tables, keeper, "HDMI-1", t), KindList{NoticeKind::kRestoredChange})
            << "at " << t;
    }
    EXPECT_EQ(LoseAndTick(tables, keeper, "HDMI-1", 99.5), KindList{NoticeKind::kStoodDown});
}

TEST(Keeper, AtLongIntervalsThreeChangesInARowStillStandItDown) {
    for (double interval : {30.0, 60.0}) {
        FakeTables tables;
        tables.monitors["DP-1"];
        Keeper keeper(tables, KeeperTiming{interval});
        keeper.Start(0.0);
        KindList told;
        for (int i = 0; i < 3; ++i) {
            // Each poll comes a little late, as a loaded system's do.
            for (NoticeKind kind : LoseAndTick(tables, keeper, "DP-1", keeper.NextCheck() + 0.1)) {
                told.push_back(kind);
            }
        }
        EXPECT_EQ(told, (KindList{NoticeKind::kRestoredChange, NoticeKind::kRestoredChange,
                                  NoticeKind::kStoodDown}))
            << "every " << interval << " s";
    }
}

TEST(Keeper, ALossWithinTwoSecondsOfAModeChangeIsTheModeChanges) {
    FakeTables tables;
    tables.monitors["DP-1"];
    Keeper keeper(tables);
    keeper.Start(0.0);
    EXPECT_TRUE(keeper.Event(10.0, Trigger::kModeChange).empty());
    // The driver puts its own table back late, at the end of the grace.
    EXPECT_EQ(LoseAndTick(tables, keeper, "DP-1", 12.0), KindList{NoticeKind::kRestoredMode});
    EXPECT_EQ(LoseAndTick(tables, keeper, "DP-1", 14.0), KindList{NoticeKind::kRestoredChange});
    EXPECT_EQ(keeper.Monitors()[0].rivalChanges.size(), 1u);
}

TEST(Keeper, WritesAMonitorWhoseTableCannotBeReadOnceNotAtEveryCheck) {
    FakeTables tables;
    tables.monitors["VGA-1"].unreadable = true;
    Keeper keeper(tables);
    EXPECT_EQ(Kinds(keeper.Start(0.0)), KindList{NoticeKind::kLoaded});
    for (double t : {2.0, 4.0, 6.0}) {
        EXPECT_TRUE(keeper.Tick(t).empty()) << "at " << t;
    }
    EXPECT_EQ(tables.monitors["VGA-1"].loads, 1);
    EXPECT_EQ(keeper.Monitors()[0].restores, 0);
}

TEST(Keeper, ANewTableOfTheProfileIsLoadedAsTheUsersNeverARivals) {
    FakeTables tables;
    tables.monitors["DP-1"];
    tables.monitors["DP-2"].refuses = true;
    Keeper keeper(tables);
    keeper.Start(0.0);
    // The user saves a new calibration three times; DP-2 now takes tables.
    tables.monitors["DP-2"].refuses = false;
    for (double t : {2.0, 4.0, 6.0}) {
        for (auto& [name, monitor] : tables.monitors) {
            monitor.kept = Flat(static_cast<uint16_t>(30000 + t));
        }
        EXPECT_EQ(Kinds(keeper.Tick(t)), (KindList{NoticeKind::kNewTable, NoticeKind::kNewTable}))
            << "at " << t;
    }
    for (const MonitorState& monitor : keeper.Monitors()) {
        EXPECT_EQ(tables.monitors[monitor.name].held.entries[0], 30006) << monitor.name;
        EXPECT_FALSE(monitor.stoodDown) << monitor.name;
        EXPECT_EQ(monitor.restores, 0) << monitor.name;
    }
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

}  // namespace
}  // namespace tonalis::keeper
