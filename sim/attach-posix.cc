#include <dlfcn.h>
#include <signal.h>
#include <unistd.h>

#include <cstdint>

#include "stand_in.h"

void sim_wait_forever() {
  for (;;) pause();
}

void sim_fault(int how) {
  if (how == FAULT_RAISE) {
    // Raised through the C library, whose code it is delivered in.
    sim_log("fault SIGFPE elsewhere");
    raise(SIGFPE);
  } else {
    Dl_info self = {};
    dladdr(reinterpret_cast<const void*>(sim_null_store), &self);
    const auto offset = reinterpret_cast<std::uintptr_t>(sim_null_store) -
                        reinterpret_cast<std::uintptr_t>(self.dli_fbase);
    sim_log("fault SIGSEGV metal.dll+%08X", static_cast<unsigned>(offset));
    sim_null_write();
  }
  // Only a caller that handled the fault and resumed gets here.
  sim_wait_forever();
}

namespace {

// The loader runs the destructor for dlclose and at exit alike, and says
// nothing of which it is.
__attribute__((constructor)) void on_load() { sim_loaded(""); }
__attribute__((destructor)) void on_unload() { sim_unloaded(""); }

}  // namespace
