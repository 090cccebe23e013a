#include <windows.h>

#include <cstdio>

#include "stand_in.h"

void sim_wait_forever() {
  for (;;) Sleep(INFINITE);
}

namespace {

// mov eax, 1; ret: a thunk in the library's data.
unsigned char thunk[] = {0xB8, 0x01, 0x00, 0x00, 0x00, 0xC3};

// A library of S3's time may run code it wrote into its data (thunks,
// generated code), so the stand-in does too at load: in a 32-bit process
// under DEP it dies, as such a library would. 64-bit processes always run
// under DEP, and no game of that time is one, so there it is left out.
void run_code_from_data() {
  if constexpr (sizeof(void*) == 4) {
    reinterpret_cast<int (*)()>(reinterpret_cast<void*>(thunk))();
  }
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    run_code_from_data();
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
