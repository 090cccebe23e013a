// What the tool needs of its platform, in the shapes of the Windows calls
// that serve it there: load a library, find an entry, free the library, show
// a modal message, and format text into a bounded buffer.
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
// Blocks until the user dismisses the message. The tool's only button is OK,
// so which button closed it is not returned.
void MessageBoxA(HWND owner, const char* text, const char* caption,
                 std::uint32_t type);

// Formats into buffer[0, size) and always leaves it terminated, cutting the
// text when it does not fit. size must be at least 1.
void format_text(char* buffer, std::size_t size, const char* format,
                 std::va_list args);

}  // namespace platform
