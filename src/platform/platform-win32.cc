// The platform on Windows: straight to KERNEL32 and USER32, ANSI forms.
#include <windows.h>

#include "platform/platform.h"

namespace platform {

static_assert(BOX_OK == MB_OK && BOX_ICON_HAND == MB_ICONHAND &&
                  BOX_ICON_QUESTION == MB_ICONQUESTION &&
                  BOX_ICON_MASK == MB_ICONMASK,
              "message box styles must be Windows' own");

namespace {

// The file the tool loads: a fault inside its image is told by offset.
const char* library_name = nullptr;
const LibraryCall* library_call = nullptr;
FaultReport fault_report = nullptr;

// The offset of address into the image of the loaded library, or the
// address itself when it lies elsewhere (the library may not be mapped yet,
// or the fault came in a DLL that it called). Told from the address alone:
// an image is one allocation whose base is its module handle. Nothing of the
// library's own memory is read, which it may have made unreadable.
Fault locate(std::uint32_t code, const void* where) {
  const auto address = reinterpret_cast<std::uintptr_t>(where);
  if (library_name != nullptr) {
    const ::HMODULE library = ::GetModuleHandleA(library_name);
    MEMORY_BASIC_INFORMATION region;
    if (library != nullptr &&
        ::VirtualQuery(where, &region, sizeof region) == sizeof region &&
        region.AllocationBase == library) {
      return {nullptr, code, library_name,
              address - reinterpret_cast<std::uintptr_t>(library)};
    }
  }
  return {nullptr, code, nullptr, address};
}

// The handler of the frame that encloses every call into the library. The
// system asks the handlers of the stack's frames innermost first, and the
// process's top-level filter only after them all: so the library's own
// handlers come first, and no filter of the library's can take its place.
// Its name is for the x86_64 unwind data, which names it in assembly.
__attribute__((used)) EXCEPTION_DISPOSITION on_exception(
    EXCEPTION_RECORD* record, void*, CONTEXT*, void*) asm("boardprobe_fault");
EXCEPTION_DISPOSITION on_exception(EXCEPTION_RECORD* record, void*, CONTEXT*,
                                   void*) {
  const LibraryCall* call = library_call;
  // A fault of the tool's own is the system's to report, and an unwind
  // passing through is none of the handler's business.
  if (call == nullptr || (record->ExceptionFlags &
                          (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))) {
    return ExceptionContinueSearch;
  }
  // One report: a fault while it is shown is the system's again.
  library_call = nullptr;
  if (call->failure != nullptr) {
    fault_report(call->failure,
                 locate(record->ExceptionCode, record->ExceptionAddress));
  }
  // As crash reporters end: ExitProcess would run the library's unload
  // routine, and nothing of it may run after its fault. On Windows 9x the
  // process's own handle is not the constant it is on NT, so it is asked for.
  ::TerminateProcess(::GetCurrentProcess(),
                     static_cast<UINT>(call->exit_status));
  return ExceptionContinueSearch;
}

#if defined(__i386__)
// A handler record of 32-bit Windows, from 95 and NT 3.1 on: it lives on the
// stack, and fs:0 heads the thread's chain of them, innermost first.
struct HandlerRecord {
  HandlerRecord* next;
  EXCEPTION_DISPOSITION (*handler)(EXCEPTION_RECORD*, void*, CONTEXT*, void*);
};
#endif

}  // namespace

// Never inlined: its frame is the one that holds the handler, and it must
// enclose the calls.
__attribute__((noinline)) int catch_library_faults(int (*run)(),
                                                   FaultReport report) {
  fault_report = report;
#if defined(__i386__)
  // Linked at the chain's head and unlinked before this frame ends: the
  // chain stays whole for SEHOP, which walks it to its system-made end.
  HandlerRecord record{nullptr, on_exception};
  asm volatile("movl %%fs:0, %0" : "=r"(record.next));
  asm volatile("movl %0, %%fs:0" : : "r"(&record) : "memory");
  const int status = run();
  asm volatile("movl %0, %%fs:0" : : "r"(record.next) : "memory");
#else
  // 64-bit Windows finds a frame's handler in its function's unwind data.
  asm volatile(".seh_handler boardprobe_fault, @except");
  const int status = run();
  // An instruction between the call and the epilogue: a return address at
  // an epilogue is taken for a frame already leaving, whose handler is not
  // asked. It also keeps the call from being a tail call, which would leave
  // this frame before run runs.
  asm volatile("nop");
#endif
  return status;
}

HMODULE LoadLibraryA(const char* file_name) {
  library_name = file_name;
  return reinterpret_cast<HMODULE>(::LoadLibraryA(file_name));
}

FARPROC GetProcAddress(HMODULE module, const char* name) {
  return reinterpret_cast<FARPROC>(
      ::GetProcAddress(reinterpret_cast<::HMODULE>(module), name));
}

void FreeLibrary(HMODULE module) {
  ::FreeLibrary(reinterpret_cast<::HMODULE>(module));
}

void MessageBoxA(HWND owner, const char* text, const char* caption,
                 std::uint32_t type) {
  // A quit message ends a box's message loop at once, and a library may
  // leave one on this thread: the classic window procedure posts it when its
  // window is destroyed. The box waits for the user, so every one goes first.
  // The tool ends right after its boxes, so none is posted again.
  MSG quit;
  while (::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  ::MessageBoxA(reinterpret_cast<::HWND>(owner), text, caption, type);
}

void begin_library_call(const LibraryCall& call) { library_call = &call; }

void end_library_call() { library_call = nullptr; }

}  // namespace platform
