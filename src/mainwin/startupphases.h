#pragma once

namespace orv {

// An opt-in log of how long start-up's phases take. With
// ORVANE_STARTUP_PHASES=1 in the environment every mark prints
// "phase <name> <ms> cpu <ms>" to stderr: the milliseconds since the
// previous mark and the processor time this thread used in them (the first
// mark counts from the clock's start, StartClock). Without the
// variable a mark costs one test of a flag.
namespace startupphases {

// Starts the clock (the first call only); Mark starts it too.
void StartClock();
// Ends the phase `name` (a fixed text).
void Mark(const char* name);
// Whether marks are printed.
bool Enabled();

} // namespace startupphases

} // namespace orv
