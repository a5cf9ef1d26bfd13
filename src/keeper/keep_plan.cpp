// The profile each output keeps, and forgetting what was read.
#include "keeper/keep_plan.h"

namespace tonalis {

void ForgetKeptFiles(KeepPlan* plan) {
    for (KeptProfile& kept : plan->profiles) {
        kept.file.Forget();
    }
}

const KeptProfile* ProfileFor(const KeepPlan& plan, const std::string& output) {
    const KeptProfile* every = nullptr;
    for (const KeptProfile& kept : plan.profiles) {
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
