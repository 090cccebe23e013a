// The GUI entry: no console, no arguments read. Its result is the exit status.
#include <windows.h>

#include "probe/probe.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Only the tool's own boxes: no "There is no disk in the drive" while the
  // search for metal.dll walks the PATH, and no loader box for a library
  // whose own dependency is gone. A crash inside metal.dll gets the tool's
  // box too (run_probe catches it); only a fault of the tool's own code is
  // left to the system's crash box.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  return run_probe();
}
