// What the tool needs of its platform, in the shapes of the Windows calls
// that serve it there: load a library, find an entry, free the library, show
// a modal message, format text into a bounded buffer, and catch a fault
// inside a call into the library.
//
// platform-win32.cc forwards to KERNEL32 and USER32; platform-posix.cc serves
// the same operations from dlopen and the terminal; tests link a scripted fake
// in their place.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

namespace platform {

struct Module;  // opaque: an HMODULE on Windows, a dlopen handle elsewhere
struct Window;  // opaque: an HWND; the tool only ever passes null

using HMODULE = Module*;
using HWND = Window*;
using FARPROC = void (*)();

// MessageBoxA styles the tool uses: one OK button and one icon. The values
// are Windows' MB_OK, MB_ICONHAND, MB_ICONQUESTION and MB_ICONMASK, under
// names that <windows.h>'s macros leave alone.
constexpr std::uint32_t BOX_OK = 0x00;
constexpr std::uint32_t BOX_ICON_HAND = 0x10;
constexpr std::uint32_t BOX_ICON_QUESTION = 0x20;
constexpr std::uint32_t BOX_ICON_MASK = 0xF0;

// Null when the library cannot be loaded.
[[nodiscard]] HMODULE LoadLibraryA(const char* file_name);
// Null when the library exports no such entry.
[[nodiscard]] FARPROC GetProcAddress(HMODULE module, const char* name);
// Its result tells nothing the tool could act on, so there is none.
void FreeLibrary(HMODULE module);
// Blocks until the user dismisses the message, whatever the library left
// in the thread's queue. The tool's only button is OK, so which button
// closed it is not returned.
void MessageBoxA(HWND owner, const char* text, const char* caption,
                 std::uint32_t type);

// Formats into buffer[0, size) and always leaves it terminated, cutting the
// text when it does not fit. size must be at least 1.
void format_text(char* buffer, std::size_t size, const char* format,
                 std::va_list args);

// A fault inside a call into the library (an access violation, an exception
// that nothing catches, a signal), as far as the platform can tell it.
struct Fault {
  const char* signal;  // the signal's name where faults are signals, else null
  std::uint32_t code;  // else the exception code
  const char* module;  // the library's file name when the fault lies in its
                       // image, else null
  std::uintptr_t address;  // the offset into that image, else the address
};

// A call into the library, as a fault inside it ends the run.
struct LibraryCall {
  const char* failure;  // the step's own error text; null: no report
  int exit_status;      // what the process then ends with
};

// Shows the report of a fault inside a call whose failure text is failure.
using FaultReport = void (*)(const char* failure, const Fault& fault);

// Runs run, and returns its result, with a handler in force for the faults
// inside calls into the library. It acts only while such a call is marked:
// it shows that call's report, then ends the process at once with the
// call's exit status, so that none of the library's code runs again, not
// even its unload routine. Any other fault is left to the system. A handler
// of the library's own comes first, and nothing the library does to the
// process's crash handling displaces this one.
[[nodiscard]] int catch_library_faults(int (*run)(), FaultReport report);
// Mark the call into the library in progress; call must outlive the mark.
void begin_library_call(const LibraryCall& call);
void end_library_call();

}  // namespace platform
