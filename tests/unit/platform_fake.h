// A scripted platform for tests, linked in place of the real one: its
// loader serves the simulated board (linked in) as metal.dll, and every
// event is recorded in the transcript language of tests/outcomes.py. A
// misuse of a handle, the interface or the box says so in brackets.
#pragma once

#include <string>
#include <vector>

namespace fake {

// What LoadLibraryA("metal.dll") finds: the board may also fault in its
// start-up or unload routine, inside LoadLibraryA or FreeLibrary.
enum class Library { none, no_entry, board, faulting_load, faulting_unload };

// Starts a new run with the board's settings text (as in METAL_SIM; null
// for the defaults) and an empty record.
void reset(Library library, const char* settings);

// Runs the probe; returns its exit status, or the fault handler's.
[[nodiscard]] int run();

// What happened since reset, one line per event.
[[nodiscard]] const std::vector<std::string>& events();

}  // namespace fake
