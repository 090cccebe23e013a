#include <dlfcn.h>
#include <setjmp.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

#include "stand_in.h"

namespace {

// Where the loader put this library, asked once at load: the library may
// make its own headers unreadable later, and dladdr reads them.
std::uintptr_t image_base = 0;

}  // namespace

void sim_wait_forever() {
  for (;;) pause();
}

void sim_fault(int how) {
  if (how == FAULT_RAISE) {
    // Raised through the C library, whose code it is delivered in.
    sim_log("fault SIGFPE elsewhere");
    raise(SIGFPE);
  } else {
    const auto offset =
        reinterpret_cast<std::uintptr_t>(sim_null_store) - image_base;
    sim_log("fault SIGSEGV metal.dll+%08X", static_cast<unsigned>(offset));
    sim_null_write();
  }
  // Only a caller that handled the fault and resumed gets here.
  sim_wait_forever();
}

namespace {

sigjmp_buf recovery;

void recover(int) { siglongjmp(recovery, 1); }

// The library's own handler for a fault of its own, in force for the fault
// alone: the tool's handler is put back after it.
bool fault_and_recover() {
  struct sigaction own = {};
  struct sigaction theirs = {};
  own.sa_handler = recover;
  sigemptyset(&own.sa_mask);
  sigaction(SIGSEGV, &own, &theirs);
  bool recovered = false;
  if (sigsetjmp(recovery, 1) != 0) {
    recovered = true;
  } else {
    sim_null_write();
  }
  sigaction(SIGSEGV, &theirs, nullptr);
  return recovered;
}

}  // namespace

void sim_misbehave(Misdeed misdeed) {
  switch (misdeed) {
    case MISDEED_HANDLED:
      sim_log(fault_and_recover() ? "fault handled" : "no fault to handle");
      break;
    case MISDEED_UNREADABLE:
      sim_log(mprotect(reinterpret_cast<void*>(image_base),
                       static_cast<std::size_t>(sysconf(_SC_PAGESIZE)),
                       PROT_NONE) == 0
                  ? "headers unreadable"
                  : "headers still readable");
      break;
    default:
      // No message queue and no process-wide filter here: nothing to spoil.
      break;
  }
}

namespace {

// The loader runs the destructor for dlclose and at exit alike, and says
// nothing of which it is.
__attribute__((constructor)) void on_load() {
  Dl_info self = {};
  dladdr(reinterpret_cast<const void*>(sim_null_store), &self);
  image_base = reinterpret_cast<std::uintptr_t>(self.dli_fbase);
  sim_loaded("");
}
__attribute__((destructor)) void on_unload() { sim_unloaded(""); }

}  // namespace
