// One run of the applet per logon session. Each Control Panel launch is a
// process of its own; a second run would load its tables over the first one's
// preview and put back the first one's start table, so a second launch brings
// the first run's window to the front instead and starts nothing.
#pragma once

#include <windows.h>

#include "session/run_claim.h"

namespace tonalis {

class SingleRun {
  public:
    // Claims the run of this logon session, or finds the run that holds it and
    // brings its window to the front.
    SingleRun();
    ~SingleRun();
    SingleRun(const SingleRun&) = delete;
    SingleRun& operator=(const SingleRun&) = delete;

    // False when another run holds the session.
    bool IsFirst() const { return first_; }

  private:
    HANDLE claim_;
    RunClaim* view_;  // while this run holds the session
    bool first_;
};

}  // namespace tonalis
