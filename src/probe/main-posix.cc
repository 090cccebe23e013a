// Stands in for WinMain on systems without one. Like WinMain it reads no
// arguments; run_probe's result is the exit status.
#include "probe/probe.h"

int main() { return run_probe(); }
