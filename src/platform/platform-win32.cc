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
// or the fault came in a DLL that it called). The module handle is the
// image's base, where its headers give its size.
Fault locate(std::uint32_t code, const void* where) {
  const auto address = reinterpret_cast<std::uintptr_t>(where);
  if (library_name != nullptr) {
    const auto base =
        reinterpret_cast<std::uintptr_t>(::GetModuleHandleA(library_name));
    if (base != 0) {
      const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
      const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
          base + static_cast<std::uintptr_t>(dos->e_lfanew));
      if (address - base < nt->OptionalHeader.SizeOfImage) {
        return {nullptr, code, library_name, address - base};
      }
    }
  }
  return {nullptr, code, nullptr, address};
}

LONG WINAPI on_unhandled_exception(EXCEPTION_POINTERS* exception) {
  const LibraryCall* call = library_call;
  // A fault of the tool's own is the system's to report.
  if (call == nullptr) return EXCEPTION_CONTINUE_SEARCH;
  // One report: a fault while it is shown is the system's again.
  library_call = nullptr;
  const EXCEPTION_RECORD* record = exception->ExceptionRecord;
  if (call->failure != nullptr) {
    fault_report(call->failure,
                 locate(record->ExceptionCode, record->ExceptionAddress));
  }
  // As crash reporters end: ExitProcess would run the library's unload
  // routine, and nothing of it may run after its fault. On Windows 9x the
  // process's own handle is not the constant it is on NT, so it is asked for.
  ::TerminateProcess(::GetCurrentProcess(),
                     static_cast<UINT>(call->exit_status));
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

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
  ::MessageBoxA(reinterpret_cast<::HWND>(owner), text, caption, type);
}

void catch_library_faults(FaultReport report) {
  fault_report = report;
  ::SetUnhandledExceptionFilter(on_unhandled_exception);
}

void begin_library_call(const LibraryCall& call) { library_call = &call; }

void end_library_call() { library_call = nullptr; }

}  // namespace platform
