// The platform on Windows: straight to KERNEL32 and USER32, ANSI forms.
#include "platform/platform.h"

#include <windows.h>

namespace platform {

HMODULE LoadLibraryA(const char* file_name) {
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

}  // namespace platform
