// The start ramps of a run kept in the registry while the run lasts, so that
// a run that dies with a changed table in the display does not leave it there:
// the next run finds them and puts them back before it reads the displays.
#pragma once

namespace tonalis {

struct SessionContext;

// Keeps the start ramp of every monitor whose ramp was read.
void RememberStartRamps(const SessionContext* session);

// Loads each ramp that a run which never ended left behind into its display;
// true when at least one was put back.
bool PutBackLeftoverRamps();

// The run ended normally: its start ramps are no longer needed.
void ForgetStartRamps();

}  // namespace tonalis
