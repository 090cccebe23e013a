// A metal.dll that loads and unloads but exports no mtlOpen.
#include "stand_in.h"

void sim_loaded(const char* how) { sim_log("load%s", how); }

void sim_unloaded(const char* how) { sim_log("unload%s", how); }
