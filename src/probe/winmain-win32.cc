// The GUI entry: no console, no arguments read. Its result is the exit status.
#include <windows.h>

#include "probe/probe.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return run_probe(); }
