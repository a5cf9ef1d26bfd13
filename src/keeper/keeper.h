// The keeper's decisions: when a monitor's table is checked, put back, retried
// after a wake or left alone. The caller gives it the time (seconds on a clock
// that does not jump) and the tables, and calls Tick when NextCheck is due.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "keeper/monitor_tables.h"

namespace tonalis::keeper {

struct KeeperTiming {
    double interval = 2.0;  // between polls
    // After a wake or unlock, drivers put their own table back late.
    std::vector<double> afterWake = {2.0, 5.0, 15.0};
    // Differences found this soon after a mode change are the mode change's.
    double modeChangeGrace = 2.0;
    // Changes by another program that make the keeper stand down, and within
    // what time: at least rivalChanges intervals, so that slow polls still see them.
    int rivalChanges = 3;
    double rivalWindow = 60.0;
};

enum class Trigger {
    kPoll,
    kModeChange,  // a mode, a layout or the set of outputs changed
    kWake,        // resume or unlock
};

enum class NoticeKind {
    kLoaded,          // at start
    kNewOutput,       // a monitor that was not there before
    kRestoredChange,  // after a change by another program
    kRestoredMode,    // after a mode change
    kRestoredWake,    // after a wake or unlock
    kStoodDown,       // another program keeps changing it
    kRefused,         // the read-back does not match after writing
    kNewTable,        // the table kept for it changed: the user's new calibration
};

struct Notice {
    double time;
    std::string monitor;
    NoticeKind kind;
};

struct MonitorState {
    std::string name;
    int restores = 0;  // put back after losing its table
    bool stoodDown = false;
    bool refused = false;  // left alone until the next event
    bool refusalTold = false;
    std::deque<double> rivalChanges;  // within the last rivalWindow
    std::optional<GammaRamp> kept;    // the table last loaded or found held
};

class Keeper {
  public:
    Keeper(MonitorTables& tables, KeeperTiming timing = {});

    // Loads every monitor present.
    std::vector<Notice> Start(double now);
    // Checks every monitor at once.
    std::vector<Notice> Event(double now, Trigger trigger);
    // The polls and the checks that follow a wake, whichever are due.
    std::vector<Notice> Tick(double now);
    // What the user asks for: monitors that stood down are kept again, and
    // what this puts back counts as no other program's change.
    std::vector<Notice> Reload(double now);

    double NextCheck() const;
    const std::vector<MonitorState>& Monitors() const { return monitors_; }

  private:
    void Check(double now, Trigger trigger, bool asked, std::vector<Notice>* notices);
    void CheckOne(double now, Trigger trigger, bool asked, MonitorState* monitor,
                  std::vector<Notice>* notices);
    void LoadOne(double now, MonitorState* monitor, NoticeKind kind, std::vector<Notice>* notices);
    bool HoldsKept(const std::string& monitor, bool* readable);
    bool RivalStandsUs(double now, MonitorState* monitor);
    double RivalWindow() const;

    MonitorTables& tables_;
    KeeperTiming timing_;
    std::vector<MonitorState> monitors_;
    double nextPoll_ = 0.0;
    std::vector<double> wakeChecks_;  // due times, earliest first
    double wakeUntil_ = -1.0;
    double modeChangeUntil_ = -1.0;
};

}  // namespace tonalis::keeper
