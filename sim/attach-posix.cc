#include <unistd.h>

#include "sim.h"

void sim_wait_forever() {
  for (;;) pause();
}

namespace {

__attribute__((constructor)) void on_load() { sim_loaded(); }
__attribute__((destructor)) void on_unload() { sim_unloaded(); }

}  // namespace
