// A scripted platform for tests, linked in place of the real one. Its
// module loader serves the simulated board (linked in, not loaded) under
// the name metal.dll, and its message box records the box. Everything that
// happens is recorded as one line of text, in the language of the stand-in
// library's event log: "load", "open 0", "query 0x10A", "close", "unload",
// and "box ICON [CAPTION] TEXT" with line feeds written \n. A misuse of a
// handle, the interface or the box says so in brackets at its line's end.
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
