#include <windows.h>

#include "sim.h"

void sim_wait_forever() {
  for (;;) Sleep(INFINITE);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) sim_loaded();
  if (reason == DLL_PROCESS_DETACH) sim_unloaded();
  return TRUE;
}
