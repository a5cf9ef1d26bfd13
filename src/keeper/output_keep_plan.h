// What tonalis keep keeps: a profile for every output, for one output, or one
// per output, each profile read with apply's reader before anything is
// loaded, and again whenever its file changes.
#pragma once

#include <string>
#include <vector>

#include "keeper/kept_file.h"
#include "profile/vcgt_curves.h"

namespace tonalis {

struct OutputProfile {
    std::string output;  // empty: every output that has no profile of its own
    std::string path;
    VcgtCurves curves;
    keeper::KeptFile file;
};

struct OutputKeepPlan {
    std::vector<OutputProfile> profiles;
    double interval = 2.0;  // seconds between polls
    bool quiet = false;
};

constexpr double kShortestInterval = 0.5;
constexpr double kLongestInterval = 60.0;

// Every profile is read again at the next check.
void ForgetKeptFiles(OutputKeepPlan* plan);

// The profile kept for an output, or null.
const OutputProfile* ProfileFor(const OutputKeepPlan& plan, const std::string& output);

}  // namespace tonalis
