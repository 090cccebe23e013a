#include <unistd.h>

#include "stand_in.h"

void sim_wait_forever() {
  for (;;) pause();
}

namespace {

// The loader runs the destructor for dlclose and at exit alike, and says
// nothing of which it is.
__attribute__((constructor)) void on_load() { sim_loaded(""); }
__attribute__((destructor)) void on_unload() { sim_unloaded(""); }

}  // namespace
