// The simulated board: a stand-in for S3's "metal.dll" that tests and
// developers place beside the tool. Its behaviour comes from a settings
// text (the environment variable METAL_SIM), space-separated key=value words:
//   board=0x8A22 vram=16777216 open=0 null_interface=0 no_interface=0
//   id_status=1 no_id=0 size_status=1 close_status=1 hang=0
//   fault_open=0 fault_id=0 fault_size=0 fault_close=0
// (the defaults: a Savage 4 with 16 MiB on which every call succeeds), and
// misdeeds, each in the call it names (load, open, id, size or close):
//   quit=CALL filter=CALL handled=CALL unreadable=CALL
// It writes one line per event (load, open 0, query 0x10A, close, unload,
// and any misuse it sees) to an event log, so a test can prove their order.
#pragma once

// Supplied by what hosts the board: the stand-in DLL (environment.cc and
// attach-*.cc), or the unit tests' scripted platform.

// The settings text; null for the defaults.
const char* sim_settings();
// Appends one line to the event log, if there is one.
void sim_log(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Never returns: a library that hangs, for testing what waits on it.
[[noreturn]] void sim_wait_forever();

// How a call of the library faults (the fault_* settings).
constexpr int FAULT_NONE = 0;
constexpr int FAULT_NULL_WRITE = 1;  // writes through a null pointer
constexpr int FAULT_RAISE = 2;       // raises an exception not its own
// Faults inside the current call; never returns. The stand-in DLL first
// logs what its caller must report: "fault CODE WHERE", CODE being the
// exception code (or the signal's name) and WHERE the faulting instruction,
// metal.dll+OFFSET, or "elsewhere" for one outside the library.
[[noreturn]] void sim_fault(int how);

// What a library of that time may do to its process besides its work (the
// misdeed settings). The host does it, if it can, and logs what it did.
enum Misdeed {
  MISDEED_QUIT,        // posts a quit message to the calling thread
  MISDEED_FILTER,      // installs a top-level exception filter of its own,
                       // which passes every fault on and chains to nothing
  MISDEED_HANDLED,     // faults, and handles the fault itself
  MISDEED_UNREADABLE,  // makes its own header page unreadable
  MISDEEDS
};
void sim_misbehave(Misdeed misdeed);

// For the real library's hosts (sim/null_write.cc): writes through a null
// pointer, at the instruction sim_null_store.
extern "C" void sim_null_write();
extern "C" const char sim_null_store[];

// Supplied by the library: what it does when it is loaded and unloaded.
// how is what the host can tell of the event ("" when nothing), written
// after the event in the log.
void sim_loaded(const char* how);
void sim_unloaded(const char* how);
