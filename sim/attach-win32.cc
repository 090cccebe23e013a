#include <windows.h>

#include <cstdio>

#include "stand_in.h"

void sim_wait_forever() {
  for (;;) Sleep(INFINITE);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    // The error mode the process loads us under: whether the loader may put
    // up boxes of its own. Reading it means setting it, so it goes back at
    // once.
    const UINT mode = SetErrorMode(0);
    SetErrorMode(mode);
    char how[32];
    std::snprintf(how, sizeof how, " (error mode 0x%X)", mode);
    sim_loaded(how);
  }
  if (reason == DLL_PROCESS_DETACH) {
    // Null for FreeLibrary; otherwise the process is ending with the
    // library still loaded.
    sim_unloaded(reserved == nullptr ? "" : " at exit");
  }
  return TRUE;
}
