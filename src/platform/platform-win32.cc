// The platform on Windows: straight to KERNEL32 and USER32, ANSI forms.
#include <windows.h>

#include "platform/platform.h"

namespace platform {

static_assert(BOX_OK == MB_OK && BOX_ICON_HAND == MB_ICONHAND &&
                  BOX_ICON_QUESTION == MB_ICONQUESTION &&
                  BOX_ICON_MASK == MB_ICONMASK,
              "message box styles must be Windows' own");

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
