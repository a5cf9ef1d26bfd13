// tonalis keep's profiles and options, read from its arguments, and each
// profile read again when its file changes.
#pragma once

#include "keeper/output_keep_plan.h"

namespace tonalis::tool {

class Arguments;

// --interval SECONDS, 2 when not given; throws UsageError out of range.
double ReadKeepInterval(const Arguments& arguments);

// PROFILE [--output NAME] or NAME=PROFILE...; throws UsageError (status 2) for
// a profile without a usable table, a bad interval or a mixed form.
OutputKeepPlan ReadKeepPlan(const Arguments& arguments);

// Reads again each profile whose file changed since it was read, or every
// one after ForgetKeptFiles; a file without a usable table now leaves the
// table it had. True when a table was read.
bool ReadChangedProfiles(OutputKeepPlan* plan);

}  // namespace tonalis::tool
