// What tonalis keep keeps: a profile for every output, for one output, or one
// per output, each profile read with apply's reader before anything is
// loaded, and again whenever its file changes.
#pragma once

#include <string>
#include <vector>

#include "keeper/kept_file.h"
#include "profile/vcgt_curves.h"

namespace tonalis::tool {

class Arguments;

struct KeptProfile {
    std::string output;  // empty: every output that has no profile of its own
    std::string path;
    VcgtCurves curves;
    keeper::KeptFile file;
};

struct KeepPlan {
    std::vector<KeptProfile> profiles;
    double interval = 2.0;  // seconds between polls
    bool quiet = false;
};

constexpr double kShortestInterval = 0.5;
constexpr double kLongestInterval = 60.0;

// --interval SECONDS, 2 when not given; throws UsageError out of range.
double ReadKeepInterval(const Arguments& arguments);

// PROFILE [--output NAME] or NAME=PROFILE...; throws UsageError (status 2) for
// a profile without a usable table, a bad interval or a mixed form.
KeepPlan ReadKeepPlan(const Arguments& arguments);

// Reads again each profile whose file changed since it was read, or every
// one after ForgetKeptFiles; a file without a usable table now leaves the
// table it had. True when a table was read.
bool ReadChangedProfiles(KeepPlan* plan);
void ForgetKeptFiles(KeepPlan* plan);

// The profile kept for an output, or null.
const KeptProfile* ProfileFor(const KeepPlan& plan, const std::string& output);

}  // namespace tonalis::tool
