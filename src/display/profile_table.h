// The table a profile holds for a display, refused with a clear message when
// it cannot be used: what apply, show and the keepers read.
#pragma once

#include <string>

#include "display/display_access.h"
#include "profile/vcgt_curves.h"

namespace tonalis {

enum class TableProblem { kNone, kNotProfile, kNoVcgt, kUnusableVcgt };

struct ProfileTable {
    TableProblem problem = TableProblem::kNone;
    VcgtCurves curves;
    std::string message;  // why it cannot be used, naming the file
};

// The 'vcgt' in any form that colour tools write.
ProfileTable ReadTableOfProfile(const std::string& path);

// Why a display's own profile gives it no table, naming the file.
std::string StoredTableProblem(const StoredTable& stored);

}  // namespace tonalis
