// The keeper's state machine: compare, put back, retry, stand down.
#include "keeper/keeper.h"

#include <algorithm>
#include <utility>

#include "model/ramp_read_back.h"

namespace tonalis::keeper {

namespace {

MonitorState NewMonitor(const std::string& name) {
    MonitorState monitor;
    monitor.name = name;
    return monitor;
}

}  // namespace

Keeper::Keeper(MonitorTables& tables, KeeperTiming timing)
    : tables_(tables), timing_(std::move(timing)) {}

std::vector<Notice> Keeper::Start(double now) {
    std::vector<Notice> notices;
    monitors_.clear();
    for (const std::string& name : tables_.Present()) {
        monitors_.push_back(NewMonitor(name));
        LoadOne(now, &monitors_.back(), NoticeKind::kLoaded, &notices);
    }
    nextPoll_ = now + timing_.interval;
    return notices;
}

std::vector<Notice> Keeper::Event(double now, Trigger trigger) {
    std::vector<Notice> notices;
    if (trigger == Trigger::kWake) {
        wakeChecks_.clear();
        for (double after : timing_.afterWake) {
            wakeChecks_.push_back(now + after);
        }
        std::sort(wakeChecks_.begin(), wakeChecks_.end());
        wakeUntil_ = wakeChecks_.empty() ? now : wakeChecks_.back();
    } else if (trigger == Trigger::kModeChange) {
        modeChangeUntil_ = now + timing_.modeChangeGrace;
    }
    // A refusal lasts until the next event.
    for (MonitorState& monitor : monitors_) {
        monitor.refused = false;
    }
    Check(now, trigger, false, &notices);
    return notices;
}

std::vector<Notice> Keeper::Tick(double now) {
    std::vector<Notice> notices;
    bool wakeDue = false;
    while (!wakeChecks_.empty() && wakeChecks_.front() <= now) {
        wakeChecks_.erase(wakeChecks_.begin());
        wakeDue = true;
    }
    if (wakeDue || now >= nextPoll_) {
        Check(now, Trigger::kPoll, false, &notices);
    }
    return notices;
}

std::vector<Notice> Keeper::Reload(double now) {
    for (MonitorState& monitor : monitors_) {
        monitor.stoodDown = false;
        monitor.refused = false;
        monitor.rivalChanges.clear();
    }
    std::vector<Notice> notices;
    Check(now, Trigger::kPoll, true, &notices);
    return notices;
}

double Keeper::NextCheck() const {
    return wakeChecks_.empty() ? nextPoll_ : std::min(nextPoll_, wakeChecks_.front());
}

void Keeper::Check(double now, Trigger trigger, bool asked, std::vector<Notice>* notices) {
    const std::vector<std::string> present = tables_.Present();
    // A monitor that went away is forgotten without a word.
    monitors_.erase(std::remove_if(monitors_.begin(), monitors_.end(),
                                   [&](const MonitorState& monitor) {
                                       return std::find(present.begin(), present.end(),
                                                        monitor.name) == present.end();
                                   }),
                    monitors_.end());
    for (const std::string& name : present) {
        auto known =
            std::find_if(monitors_.begin(), monitors_.end(),
                         [&](const MonitorState& monitor) { return monitor.name == name; });
        if (known == monitors_.end()) {
            monitors_.push_back(NewMonitor(name));
            LoadOne(now, &monitors_.back(), NoticeKind::kNewOutput, notices);
        } else {
            CheckOne(now, trigger, asked, &*known, notices);
        }
    }
    nextPoll_ = now + timing_.interval;
}

void Keeper::CheckOne(double now, Trigger trigger, bool asked, MonitorState* monitor,
                      std::vector<Notice>* notices) {
    GammaRamp kept;
    if (tables_.Kept(monitor->name, &kept) &&
        (!monitor->kept || LargestEntryDifference(kept, *monitor->kept) != 0)) {
        // The user's new calibration: no rival's change, and worth a try after a refusal.
        monitor->kept = kept;
        monitor->refused = false;
        if (!monitor->stoodDown) {
            LoadOne(now, monitor, NoticeKind::kNewTable, notices);
        }
        return;
    }
    if (monitor->stoodDown || monitor->refused) {
        return;
    }
    bool readable = false;
    if (HoldsKept(monitor->name, &readable) || !readable) {
        return;
    }
    NoticeKind kind = NoticeKind::kRestoredChange;
    if (trigger == Trigger::kWake) {
        kind = NoticeKind::kRestoredWake;
    } else if (trigger == Trigger::kModeChange || now <= modeChangeUntil_) {
        kind = NoticeKind::kRestoredMode;
    } else if (now <= wakeUntil_) {
        kind = NoticeKind::kRestoredWake;
    } else if (!asked && RivalStandsUs(now, monitor)) {
        monitor->stoodDown = true;
        notices->push_back({now, monitor->name, NoticeKind::kStoodDown});
        return;
    }
    LoadOne(now, monitor, kind, notices);
    if (!monitor->refused) {
        ++monitor->restores;
    }
}

void Keeper::LoadOne(double now, MonitorState* monitor, NoticeKind kind,
                     std::vector<Notice>* notices) {
    GammaRamp kept;
    if (!tables_.Kept(monitor->name, &kept)) {
        return;
    }
    monitor->kept = kept;
    bool readable = false;
    if (tables_.Load(monitor->name) && (HoldsKept(monitor->name, &readable) || !readable)) {
        monitor->refusalTold = false;
        notices->push_back({now, monitor->name, kind});
        return;
    }
    monitor->refused = true;
    if (!monitor->refusalTold) {
        monitor->refusalTold = true;
        notices->push_back({now, monitor->name, NoticeKind::kRefused});
    }
}

// True when the monitor holds its kept table, within what a display keeps of
// one; *readable tells whether there was anything to compare.
bool Keeper::HoldsKept(const std::string& monitor, bool* readable) {
    GammaRamp kept;
    GammaRamp held;
    *readable = tables_.Kept(monitor, &kept) && tables_.Held(monitor, &held);
    return *readable && LargestEntryDifference(kept, held) <= kReadBackTolerance;
}

// Counts a change by another program; true when it is one too many.
bool Keeper::RivalStandsUs(double now, MonitorState* monitor) {
    std::deque<double>& changes = monitor->rivalChanges;
    changes.push_back(now);
    while (!changes.empty() && changes.front() <= now - RivalWindow()) {
        changes.pop_front();
    }
    return static_cast<int>(changes.size()) >= timing_.rivalChanges;
}

double Keeper::RivalWindow() const {
    return std::max(timing_.rivalWindow, timing_.rivalChanges * timing_.interval);
}

}  // namespace tonalis::keeper
