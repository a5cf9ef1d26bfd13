// The keeper's loop: one poll() on the X connection and a signalfd, timed to
// the core's next check, so that an idle keeper wakes once per interval.
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <time.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

#include "display/profile_table.h"
#include "keeper/keep_loop.h"
#include "keeper/keep_xrandr_tables.h"
#include "keeper/keeper.h"
#include "keeper/notice_text.h"
#include "model/text_format.h"
#include "model/tool_error.h"

namespace tonalis {

namespace {

double Seconds(clockid_t clock) {
    timespec now;
    clock_gettime(clock, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

// Time spent asleep: the boot clock runs on through a suspend, the monotonic one does not.
double SleptSoFar() {
    return Seconds(CLOCK_BOOTTIME) - Seconds(CLOCK_MONOTONIC);
}

// Reads again each profile whose file changed since it was read, or every
// one after ForgetKeptFiles; a file without a usable table now leaves the
// table it had. True when a table was read.
bool ReadChangedProfiles(OutputKeepPlan* plan) {
    bool read = false;
    for (OutputProfile& kept : plan->profiles) {
        if (!kept.file.Changed(kept.path)) {
            continue;
        }
        ProfileTable table = ReadTableOfProfile(kept.path);
        kept.file.Read();
        if (table.problem == TableProblem::kNone) {
            kept.curves = std::move(table.curves);
            read = true;
        }
    }
    return read;
}

constexpr KeepWords kXWords = {"new output loaded", "mode change", "wake",
                               "tonalis keep --reload takes it back"};

struct Connection {
    explicit Connection(const std::string& display) {
        handle = xcb_connect(display.c_str(), &screen);
    }
    ~Connection() { xcb_disconnect(handle); }
    xcb_connection_t* handle;
    int screen = 0;
};

class KeeperLoop {
  public:
    KeeperLoop(OutputKeepPlan& plan, Connection& x, xcb_window_t root, KeeperLock& instance,
               KeepSay say)
        : plan_(plan),
          say_(say),
          x_(x),
          instance_(instance),
          tables_(x.handle, root, plan),
          keeper_(tables_, Timing(plan)) {}

    void CheckOutputsNamed() {
        tables_.Refresh();
        for (const OutputProfile& kept : plan_.profiles) {
            if (kept.output.empty()) {
                continue;
            }
            bool known = false;
            std::string list;
            for (const std::string& name : tables_.OutputNames()) {
                known = known || name == kept.output;
                list += (list.empty() ? "" : ", ") + name;
            }
            if (!known) {
                throw UsageError(Format("no output named \"%s\"; the outputs are: %s",
                                        kept.output.c_str(), list.c_str()));
            }
        }
    }

    int Run(int signals, uint8_t randrEvents) {
        Tell(keeper_.Start(Seconds(CLOCK_MONOTONIC)));
        double slept = SleptSoFar();
        pollfd waits[2] = {{xcb_get_file_descriptor(x_.handle), POLLIN, 0}, {signals, POLLIN, 0}};
        // Events that came in while a reply was awaited sit in XCB's queue,
        // where poll() does not see them.
        bool layoutEvent = DrainEvents(randrEvents, xcb_poll_for_queued_event);
        for (;;) {
            const double wait = keeper_.NextCheck() - Seconds(CLOCK_MONOTONIC);
            const int timeout =
                layoutEvent || wait <= 0 ? 0 : static_cast<int>(std::ceil(wait * 1000));
            poll(waits, 2, timeout);
            if (waits[1].revents & POLLIN) {
                signalfd_siginfo signal;
                if (read(signals, &signal, sizeof signal) == sizeof signal &&
                    !OnSignal(signal.ssi_signo)) {
                    return kExitSuccess;
                }
            }
            layoutEvent = DrainEvents(randrEvents, xcb_poll_for_event) || layoutEvent;
            if (xcb_connection_has_error(x_.handle)) {
                say_("the X server went away; the keeper ends");
                return kExitSuccess;
            }
            ReadChangedFiles();
            const double now = Seconds(CLOCK_MONOTONIC);
            const double sleptNow = SleptSoFar();
            if (sleptNow - slept > 1.0) {
                slept = sleptNow;
                tables_.Refresh();
                Tell(keeper_.Event(now, keeper::Trigger::kWake));
            } else if (layoutEvent && tables_.Refresh()) {
                Tell(keeper_.Event(now, keeper::Trigger::kModeChange));
            }
            if (now >= keeper_.NextCheck()) {
                ++checks_;
                Tell(keeper_.Tick(now));
            }
            layoutEvent = DrainEvents(randrEvents, xcb_poll_for_queued_event);
        }
    }

  private:
    static keeper::KeeperTiming Timing(const OutputKeepPlan& plan) {
        keeper::KeeperTiming timing;
        timing.interval = plan.interval;
        return timing;
    }

    // A profile whose file changed is read again, and its table sampled anew.
    void ReadChangedFiles() {
        if (ReadChangedProfiles(&plan_)) {
            tables_.Resample();
        }
    }

    // False when the signal ends the keeper.
    bool OnSignal(uint32_t number) {
        if (number == SIGHUP) {
            ForgetKeptFiles(&plan_);
            ReadChangedFiles();
            Tell(keeper_.Reload(Seconds(CLOCK_MONOTONIC)));
        } else if (number == SIGUSR1) {
            WriteStatus();
        } else {
            if (!plan_.quiet) {
                say_("stopped; the tables stay loaded");
            }
            return false;
        }
        return true;
    }

    // True when an event says the outputs or their CRTCs changed.
    bool DrainEvents(uint8_t randrEvents, xcb_generic_event_t* (*next)(xcb_connection_t*)) {
        bool layout = false;
        while (xcb_generic_event_t* event = next(x_.handle)) {
            const uint8_t type = event->response_type & 0x7f;
            layout = layout || type == randrEvents + XCB_RANDR_SCREEN_CHANGE_NOTIFY ||
                     type == randrEvents + XCB_RANDR_NOTIFY;
            std::free(event);
        }
        return layout;
    }

    void Tell(const std::vector<keeper::Notice>& notices) {
        for (const keeper::Notice& notice : notices) {
            if (!plan_.quiet || PrintedWhenQuiet(notice.kind)) {
                say_(NoticeText(notice, kXWords));
            }
        }
    }

    // What --status prints.
    void WriteStatus() {
        std::string text = Format("keeper process %d, checking every %g s, %ld checks so far\n",
                                  static_cast<int>(getpid()), plan_.interval, checks_);
        for (const keeper::MonitorState& monitor : keeper_.Monitors()) {
            const OutputProfile* kept = ProfileFor(plan_, monitor.name);
            if (kept == nullptr) {
                continue;
            }
            text += Format("%s: %s, restored %d time%s%s%s\n", monitor.name.c_str(),
                           kept->path.c_str(), monitor.restores, monitor.restores == 1 ? "" : "s",
                           monitor.stoodDown ? ", stood down" : "",
                           monitor.refused ? ", refused its table" : "");
        }
        instance_.WriteStatus(text);
    }

    OutputKeepPlan& plan_;
    KeepSay say_;
    Connection& x_;
    KeeperLock& instance_;
    XrandrKeptTables tables_;
    keeper::Keeper keeper_;
    long checks_ = 0;
};

xcb_window_t Root(const Connection& x) {
    xcb_screen_iterator_t screen = xcb_setup_roots_iterator(xcb_get_setup(x.handle));
    for (int i = 0; i < x.screen && screen.rem > 1; ++i) {
        xcb_screen_next(&screen);
    }
    return screen.data->root;
}

// The first event number of XRandR 1.2; throws when the server has none.
uint8_t RandrEvents(const Connection& x, const std::string& display) {
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(x.handle, &xcb_randr_id);
    std::unique_ptr<xcb_randr_query_version_reply_t, decltype(&std::free)> version(
        extension != nullptr && extension->present
            ? xcb_randr_query_version_reply(x.handle, xcb_randr_query_version(x.handle, 1, 2),
                                            nullptr)
            : nullptr,
        &std::free);
    if (!version || (version->major_version == 1 && version->minor_version < 2)) {
        throw UsageError(Format("the X display %s has no XRandR 1.2; no gamma table can be reached",
                                display.c_str()));
    }
    return extension->first_event;
}

}  // namespace

int RunKeeper(OutputKeepPlan& plan, const std::string& display, KeeperLock& instance, KeepSay say) {
    // The signals come through the poll, never in the middle of a request.
    sigset_t handled;
    sigemptyset(&handled);
    for (int number : {SIGTERM, SIGINT, SIGHUP, SIGUSR1}) {
        sigaddset(&handled, number);
    }
    sigprocmask(SIG_BLOCK, &handled, nullptr);
    const int signals = signalfd(-1, &handled, SFD_CLOEXEC);
    if (signals < 0) {
        throw ToolError(kExitFailure, "cannot wait for signals");
    }
    Connection x(display);
    if (xcb_connection_has_error(x.handle)) {
        throw UsageError(Format("cannot open the X display %s", display.c_str()));
    }
    const uint8_t randrEvents = RandrEvents(x, display);
    const xcb_window_t root = Root(x);
    xcb_randr_select_input(x.handle, root,
                           XCB_RANDR_NOTIFY_MASK_SCREEN_CHANGE | XCB_RANDR_NOTIFY_MASK_CRTC_CHANGE |
                               XCB_RANDR_NOTIFY_MASK_OUTPUT_CHANGE);
    KeeperLoop loop(plan, x, root, instance, say);
    loop.CheckOutputsNamed();

    return loop.Run(signals, randrEvents);
}

}  // namespace tonalis
