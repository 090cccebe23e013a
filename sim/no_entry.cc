// A metal.dll that loads and unloads but exports no mtlOpen.
#include "sim.h"

void sim_loaded() { sim_log("load"); }

void sim_unloaded() { sim_log("unload"); }
