// What tonalis keep --help prints, on either system.
#include "tool/keep_help.h"

namespace tonalis::tool {

const char kKeepSynopsis[] =
    "keep [PROFILE] [--output NAME | --monitor N] | NAME=PROFILE... [--interval SECONDS] "
    "[--quiet]";

const char kKeepHelp[] =
    "Stays running and keeps the table of a profile's 'vcgt' in the display. On X:\n"
    "PROFILE on every output, or on --output NAME only, or one profile per output\n"
    "with NAME=PROFILE. On Windows: PROFILE on every monitor or on --monitor N only,\n"
    "or without PROFILE each monitor's own profile, as apply takes it, read again\n"
    "when a monitor appears. It loads the tables at start, as apply does, then puts\n"
    "a table back when the display lost it: at once after a mode change or a new\n"
    "output (on Windows also a change of settings), and otherwise when a check finds\n"
    "the table changed (every 2 s by default; after a wake, or on Windows the\n"
    "display turning on, an unlock or a connect, again about 2, 5 and 15 s later).\n"
    "A table that holds within the read-back tolerance is not written again. An\n"
    "output whose table another program changes for the third time within 60 s\n"
    "(or within three checks, when they are further apart) is left to it, with one\n"
    "line (on Windows also one balloon); --reload or a new start keeps it again.\n"
    "An output that does not hold its table after writing is told once and left\n"
    "alone until the display changes. On Windows the applet's preview is left alone\n"
    "while it is open. Each thing it does is one line on stderr. One keeper runs\n"
    "per display and user (Windows: per logon session): a second one exits with\n"
    "status 1, on Windows after making the first load its profiles again. SIGTERM,\n"
    "SIGINT or the end of the X server end it with status 0, leaving the tables\n"
    "loaded. Every profile is read at start: one without a usable table exits\n"
    "with status 2 and changes nothing. A profile file that changes later (another\n"
    "file, size or time of last write) is read again and its new table kept; while\n"
    "it holds no usable table, the one it had is. --reload reads every one again.\n"
    "  --output NAME        (X) keep PROFILE on this output only\n"
    "  --monitor N          (Windows) keep only the Nth monitor, from 0\n"
    "  --interval SECONDS   between checks, 0.5 to 60 (default 2)\n"
    "  --quiet              print only standing down and refusals\n"
    "  --no-tray            (Windows) no icon in the notification area\n"
    "  --stop               end the running keeper; the tables stay loaded\n"
    "  --status             what the running keeper keeps, and how often it\n"
    "                       restored each output\n"
    "  --reload             the running keeper reads its profiles again and keeps\n"
    "                       what it stood down for\n"
    "  --install-autostart  (X) with the other arguments: start the keeper so at\n"
    "                       every logon (~/.config/autostart/tonalis-keep.desktop)\n"
    "  --remove-autostart   (X) delete that entry\n";

}  // namespace tonalis::tool
