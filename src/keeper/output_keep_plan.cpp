// The profile each output keeps, and forgetting what was read.
#include "keeper/output_keep_plan.h"

namespace tonalis {

void ForgetKeptFiles(OutputKeepPlan* plan) {
    for (OutputProfile& kept : plan->profiles) {
        kept.file.Forget();
    }
}

const OutputProfile* ProfileFor(const OutputKeepPlan& plan, const std::string& output) {
    const OutputProfile* every = nullptr;
    for (const OutputProfile& kept : plan.profiles) {
        if (kept.output == output) {
            return &kept;
        }
        if (kept.output.empty()) {
            every = &kept;
        }
    }
    return every;
}

}  // namespace tonalis
