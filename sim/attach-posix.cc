#include "sim.h"

namespace {

__attribute__((constructor)) void on_load() { sim_loaded(); }
__attribute__((destructor)) void on_unload() { sim_unloaded(); }

}  // namespace
