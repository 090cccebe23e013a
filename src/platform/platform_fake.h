// A scripted platform for tests, linked in place of the real one. It plays
// the module loader, the message box and the MeTaL library behind them, and
// records every call as one line of text, in order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fake {

// What the scripted library does. The defaults are a Savage 4 with 16 MiB on
// which every call succeeds.
struct Script {
  bool library_loads = true;
  bool exports_open = true;
  std::int32_t open_result = 0;
  // When open_result is 0: store a null interface, or store nothing at all.
  bool store_null_interface = false;
  bool store_no_interface = false;
  std::int32_t id_status = 1;
  std::int32_t size_status = 1;
  bool id_stores_nothing = false;
  std::uint32_t device_id = 0x8A22;
  std::uint32_t video_memory_size = 16u << 20;
  std::int32_t close_status = 1;
};

// Starts a new run with this script and an empty record.
void reset(const Script& script);

// What happened since reset, one line per call, e.g. "LoadLibraryA metal.dll",
// "query 0x10A", "MessageBoxA 0x10 [Fatal error] text". A call that misuses a
// handle, the interface or a preset value says so in brackets at its end.
[[nodiscard]] const std::vector<std::string>& events();

}  // namespace fake
