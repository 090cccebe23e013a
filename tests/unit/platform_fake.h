// A scripted platform for tests, linked in place of the real one: its
// loader serves the simulated board (linked in) as metal.dll, and every
// event is recorded in the transcript language of tests/outcomes.py. A
// misuse of a handle, the interface or the box says so in brackets.
#pragma once

#include <string>
#include <vector>

namespace fake {

// What LoadLibraryA("metal.dll") finds.
enum class Library { none, no_entry, board };

// Starts a new run with the board's settings text (as in METAL_SIM; null
// for the defaults) and an empty record.
void reset(Library library, const char* settings);

// What happened since reset, one line per event.
[[nodiscard]] const std::vector<std::string>& events();

}  // namespace fake
