#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "stand_in.h"

// The linker's name for this library's own base address.
extern "C" IMAGE_DOS_HEADER __ImageBase;

void sim_wait_forever() {
  for (;;) Sleep(INFINITE);
}

void sim_fault(int how) {
  if (how == FAULT_RAISE) {
    // What a C++ throw of Microsoft's compiler raises; the exception's
    // address is KERNEL32's, not ours.
    constexpr DWORD MSVC_THROW = 0xE06D7363;
    sim_log("fault %08lX elsewhere", MSVC_THROW);
    RaiseException(MSVC_THROW, EXCEPTION_NONCONTINUABLE, 0, nullptr);
  } else {
    const auto offset = reinterpret_cast<std::uintptr_t>(sim_null_store) -
                        reinterpret_cast<std::uintptr_t>(&__ImageBase);
    // An access violation.
    sim_log("fault C0000005 metal.dll+%08X", static_cast<unsigned>(offset));
    sim_null_write();
  }
  // Only a caller that handled the fault and resumed gets here.
  sim_wait_forever();
}

namespace {

// The library's own top-level filter: it passes every fault on, and chains
// to nothing, so the filter it replaced is never asked.
LONG WINAPI pass_every_fault_on(EXCEPTION_POINTERS*) {
  sim_log("filter called");
  return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

void sim_misbehave(Misdeed misdeed) {
  switch (misdeed) {
    case MISDEED_QUIT:
      // As the classic window procedure does when its window is destroyed.
      PostQuitMessage(0);
      sim_log("quit posted");
      break;
    case MISDEED_FILTER:
      SetUnhandledExceptionFilter(pass_every_fault_on);
      sim_log("filter installed");
      break;
    case MISDEED_HANDLED:
      // Probes memory as code of that time did: the read faults inside
      // IsBadReadPtr, whose own handler takes the fault. The first 64 KiB
      // are never mapped.
      sim_log(IsBadReadPtr(reinterpret_cast<const void*>(0x10), 4)
                  ? "fault handled"
                  : "no fault to handle");
      break;
    case MISDEED_UNREADABLE: {
      DWORD was = 0;
      sim_log(VirtualProtect(&__ImageBase, 1, PAGE_NOACCESS, &was)
                  ? "headers unreadable"
                  : "headers still readable");
      break;
    }
    case MISDEEDS:
      break;
  }
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
