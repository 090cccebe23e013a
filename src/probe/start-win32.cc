// Where the process starts. The compiler's own start-up code is left out:
// the tool constructs no static objects, reads no arguments and registers
// nothing to run at exit, so all that code would do is set up thread-local
// storage, pseudo-relocations and unwind tables it never uses. The C runtime
// DLL whose formatter the tool calls initialises itself when it is loaded.
// Nor is the command line fetched: the tool reads none, so WinMain is
// handed an empty one.
#include <windows.h>

extern "C" void WinMainCRTStartup() {
  char no_arguments[] = "";
  ExitProcess(static_cast<UINT>(WinMain(GetModuleHandleA(nullptr), nullptr,
                                        no_arguments, SW_SHOWDEFAULT)));
}
