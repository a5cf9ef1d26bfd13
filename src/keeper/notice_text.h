// The line on stderr for each event the keeper acts on, in the words of the
// system it runs on: X names outputs and mode changes, Windows monitors.
#pragma once

#include <string>

#include "keeper/keeper.h"

namespace tonalis {

// The words that differ from one system to the other.
struct KeepWords {
    const char* newMonitor;
    const char* displayChange;
    const char* wake;
    const char* takeBack;  // how the user resumes after a stand-down
};

// Standing down and refusals are printed even with --quiet.
bool PrintedWhenQuiet(keeper::NoticeKind kind);

// "MONITOR: what happened".
std::string NoticeText(const keeper::Notice& notice, const KeepWords& words);

}  // namespace tonalis
