// The platform on Linux and other POSIX systems: modules come from dlopen,
// message boxes become text on the terminal, and a fault inside the library
// arrives as a signal.
#include <dlfcn.h>
#include <limits.h>
#include <link.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <ucontext.h>
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

// The signals a fault raises, by the names the report gives them.
struct FaultSignal {
  int number;
  const char* name;
};
constexpr FaultSignal FAULT_SIGNALS[] = {{SIGSEGV, "SIGSEGV"},
                                         {SIGBUS, "SIGBUS"},
                                         {SIGILL, "SIGILL"},
                                         {SIGFPE, "SIGFPE"}};

// The file the tool loads: a fault inside its image is told by offset.
const char* library_name = nullptr;
const LibraryCall* library_call = nullptr;
FaultReport fault_report = nullptr;

// Where the faulting instruction was, from the state the signal interrupted.
std::uintptr_t instruction_address(const void* context) {
  const auto* state = static_cast<const ucontext_t*>(context);
#if defined(__x86_64__)
  return static_cast<std::uintptr_t>(state->uc_mcontext.gregs[REG_RIP]);
#elif defined(__i386__)
  return static_cast<std::uintptr_t>(state->uc_mcontext.gregs[REG_EIP]);
#elif defined(__aarch64__)
  return static_cast<std::uintptr_t>(state->uc_mcontext.pc);
#else
#error "where does this processor keep the instruction address?"
#endif
}

// The offset of address into the loaded library's file when it lies there,
// else the address itself. Asked of the loader's own records (glibc's
// _dl_find_object, which a signal handler may call), not dladdr, which reads
// the library's symbol tables: the library may have made them unreadable.
Fault locate(const char* signal_name, std::uintptr_t address) {
  dl_find_object found;
  if (library_name != nullptr &&
      ::_dl_find_object(reinterpret_cast<void*>(address), &found) == 0 &&
      found.dlfo_link_map != nullptr &&
      found.dlfo_link_map->l_name != nullptr) {
    const char* path = found.dlfo_link_map->l_name;
    const char* slash = ::strrchr(path, '/');
    const char* file = slash != nullptr ? slash + 1 : path;
    if (::strcmp(file, library_name) == 0) {
      return {signal_name, 0, library_name,
              address - reinterpret_cast<std::uintptr_t>(found.dlfo_map_start)};
    }
  }
  return {signal_name, 0, nullptr, address};
}

void on_fault_signal(int number, siginfo_t*, void* context) {
  const LibraryCall* call = library_call;
  if (call == nullptr) {
    // A fault of the tool's own is the system's: the handler is reset to the
    // default already, and the signal ends the process once this returns.
    ::raise(number);
    return;
  }
  library_call = nullptr;
  if (call->failure != nullptr) {
    const char* name = "";
    for (const FaultSignal& fault : FAULT_SIGNALS) {
      if (fault.number == number) name = fault.name;
    }
    fault_report(call->failure, locate(name, instruction_address(context)));
  }
  // Nothing of the library runs again, not even its destructors at exit.
  ::_exit(call->exit_status);
}

}  // namespace

HMODULE LoadLibraryA(const char* file_name) {
  library_name = file_name;
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

int catch_library_faults(int (*run)(), FaultReport report) {
  fault_report = report;
  struct sigaction action = {};
  action.sa_sigaction = on_fault_signal;
  // Once: a fault while the report is shown is the system's.
  action.sa_flags = static_cast<int>(SA_SIGINFO | SA_RESETHAND);
  ::sigemptyset(&action.sa_mask);
  for (const FaultSignal& fault : FAULT_SIGNALS) {
    ::sigaction(fault.number, &action, nullptr);
  }
  return run();
}

void begin_library_call(const LibraryCall& call) { library_call = &call; }

void end_library_call() { library_call = nullptr; }

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
