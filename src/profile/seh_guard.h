// Runs a call inside a structured exception handler, so that a fault raised by
// a system library does not end the Control Panel.
#pragma once

namespace tonalis {

// Returns false when an exception was raised inside body; the body's work is
// then abandoned where it stood.
bool RunGuarded(void (*body)(void* context), void* context);

}  // namespace tonalis
