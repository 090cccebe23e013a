// The simulated board: a stand-in for S3's "metal.dll" that tests and
// developers place beside the tool. Its behaviour comes from the environment
// variable METAL_SIM, space-separated key=value words:
//   board=0x8A22 vram=16777216 open=0 null_interface=0
//   id_status=1 size_status=1 close_status=1 hang=0
// (the defaults: a Savage 4 with 16 MiB on which every call succeeds). With
// METAL_SIM_LOG=path it appends one line per event to that file, so a test
// can prove the order of events.
#pragma once

// Appends one line to the event log, if there is one.
void sim_log(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Never returns: a library that hangs, for testing what waits on it.
[[noreturn]] void sim_wait_forever();

// Called by the platform's load and unload hooks.
void sim_loaded();
void sim_unloaded();
