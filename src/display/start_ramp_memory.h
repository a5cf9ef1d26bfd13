// The start ramps of a run kept in the registry while the run lasts, each with
// the run that owns it, so that a run that dies with a changed table in the
// display does not leave it there: the next run of the same logon finds them
// and puts them back before it reads the displays. Records of a live run, of
// another logon session or of an earlier logon are left alone.
#pragma once

#include "display/run_owner.h"
#include "model/monitor_settings.h"

namespace tonalis {

struct SessionContext;

struct RememberedRamp {
    char deviceName[kDeviceNameSize];
    GammaRamp ramp;
    RunOwner owner;
};

// Keeps one record, under a name made of the monitor number and the owner's
// process id and start, so that runs never write over each other's records.
void RememberRamp(int monitor, const RememberedRamp& remembered);

// Keeps the start ramp of every monitor whose ramp was read, owned by this run.
void RememberStartRamps(const SessionContext* session);

// Puts back each plausible ramp that a dead run of this logon left behind,
// through the same read-back as every other load, and deletes that run's
// records; true when a display, read back, holds at least one of them again.
bool PutBackLeftoverRamps();

// The run ended normally: its own start ramps are no longer needed.
void ForgetStartRamps();

}  // namespace tonalis
