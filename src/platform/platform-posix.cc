// The platform on Linux and other POSIX systems: modules come from dlopen,
// message boxes become text on the terminal.
#include <dlfcn.h>
#include <limits.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include "platform/platform.h"

namespace platform {

namespace {

constexpr int OPEN_FLAGS = RTLD_NOW | RTLD_LOCAL;

// Writes the path of file_name beside the running executable into path.
// False when that path cannot be had or does not fit.
[[nodiscard]] bool path_beside_executable(const char* file_name, char* path,
                                          std::size_t size) {
  const ssize_t length = ::readlink("/proc/self/exe", path, size - 1);
  if (length <= 0) return false;
  path[length] = '\0';
  char* slash = ::strrchr(path, '/');
  if (slash == nullptr) return false;
  const std::size_t directory = static_cast<std::size_t>(slash - path) + 1;
  if (directory + ::strlen(file_name) >= size) return false;
  ::strcpy(path + directory, file_name);
  return true;
}

[[nodiscard]] const char* icon_kind(std::uint32_t type) {
  switch (type & BOX_ICON_MASK) {
    case BOX_ICON_HAND:
      return "error";
    case BOX_ICON_QUESTION:
      return "question";
    default:
      return "message";
  }
}

}  // namespace

HMODULE LoadLibraryA(const char* file_name) {
  // A bare name is looked for the way Windows looks: the executable's own
  // directory first, then the system's search. A file found beside the
  // executable is the answer even when it fails to load, as on Windows.
  if (::strchr(file_name, '/') == nullptr) {
    char path[PATH_MAX];
    if (path_beside_executable(file_name, path, sizeof path) &&
        ::access(path, F_OK) == 0) {
      return static_cast<HMODULE>(::dlopen(path, OPEN_FLAGS));
    }
  }
  return static_cast<HMODULE>(::dlopen(file_name, OPEN_FLAGS));
}

FARPROC GetProcAddress(HMODULE module, const char* name) {
  return reinterpret_cast<FARPROC>(::dlsym(module, name));
}

void FreeLibrary(HMODULE module) { ::dlclose(module); }

void MessageBoxA(HWND, const char* text, const char* caption,
                 std::uint32_t type) {
  ::printf("[%s] %s\n%s\n[ OK ]", icon_kind(type), caption, text);
  if (::isatty(STDIN_FILENO)) {
    // Modal like a box: wait for Enter. The terminal echoes the line end.
    ::fputs(" press Enter", stdout);
    ::fflush(stdout);
    int c;
    do {
      c = ::getchar();
    } while (c != '\n' && c != EOF);
  } else {
    // Nobody is there to press OK; never block a script.
    ::putchar('\n');
  }
  ::putchar('\n');
  ::fflush(stdout);
}

}  // namespace platform
