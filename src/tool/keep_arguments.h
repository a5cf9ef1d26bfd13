// tonalis keep's profiles and options, read from its arguments.
#pragma once

#include "keeper/output_keep_plan.h"

namespace tonalis::tool {

class Arguments;

// --interval SECONDS, 2 when not given; throws UsageError out of range.
double ReadKeepInterval(const Arguments& arguments);

// PROFILE [--output NAME] or NAME=PROFILE...; throws UsageError (status 2) for
// a profile without a usable table, a bad interval or a mixed form.
OutputKeepPlan ReadKeepPlan(const Arguments& arguments);

}  // namespace tonalis::tool
