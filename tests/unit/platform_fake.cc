#include "platform_fake.h"

#include <csetjmp>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "probe/probe.h"
#include "stand_in.h"
#include "stand_in_library.h"

namespace {

fake::Library library = fake::Library::none;
const char* settings = nullptr;
std::vector<std::string> record;
bool loaded = false;
const platform::LibraryCall* library_call = nullptr;
platform::FaultReport fault_report = nullptr;
// Where the fault handler ends the process, and with which status.
std::jmp_buf process_end;
int end_status = 0;

// Stands in for the handle a real load hands out.
platform::Module* const LIBRARY = reinterpret_cast<platform::Module*>(0x1000);

// Whether module is the loaded library; when not, the call is recorded.
bool is_loaded(platform::HMODULE module, const char* call) {
  if (module == LIBRARY && loaded) return true;
  record.push_back(std::string(call) + " [no library]");
  return false;
}

// Windows' MB_ICONHAND and MB_ICONQUESTION, each with MB_OK and nothing else.
std::string icon(std::uint32_t style) {
  if (style == 0x10) return "hand";
  if (style == 0x20) return "question";
  return "style " + std::to_string(style);
}

}  // namespace

// The board's ties to its host, here the test itself.
const char* sim_settings() { return settings; }

void sim_log(const char* format, ...) {
  char line[512];
  std::va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  record.push_back(line);
}

void sim_wait_forever() { std::abort(); }

void sim_misbehave(Misdeed) { record.push_back("[misdeed not scripted]"); }

// As the real handler: a fault inside a marked call is reported (as an
// access violation at metal.dll+00001234), then the process ends with the
// call's status. Outside one, or with no handler, it is the system's: -1.
void sim_fault(int) {
  record.push_back("fault");
  const platform::LibraryCall* call = library_call;
  library_call = nullptr;
  end_status = call && fault_report ? call->exit_status : -1;
  if (end_status != -1 && call->failure != nullptr) {
    fault_report(call->failure, {nullptr, 0xC0000005, "metal.dll", 0x1234});
  }
  std::longjmp(process_end, 1);
}

namespace fake {

void reset(Library new_library, const char* new_settings) {
  library = new_library;
  settings = new_settings;
  record.clear();
  loaded = false;
  library_call = nullptr;
  fault_report = nullptr;
}

int run() {
  if (setjmp(process_end) != 0) return end_status;
  return run_probe();
}

const std::vector<std::string>& events() { return record; }

}  // namespace fake

namespace platform {

HMODULE LoadLibraryA(const char* file_name) {
  if (library == fake::Library::none || std::strcmp(file_name, "metal.dll")) {
    return nullptr;
  }
  loaded = true;
  sim_loaded("");
  if (library == fake::Library::faulting_load) sim_fault(FAULT_NULL_WRITE);
  return LIBRARY;
}

FARPROC GetProcAddress(HMODULE module, const char* name) {
  if (!is_loaded(module, "GetProcAddress") ||
      library == fake::Library::no_entry || std::strcmp(name, "mtlOpen")) {
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(&mtlOpen);
}

void FreeLibrary(HMODULE module) {
  if (!is_loaded(module, "FreeLibrary")) return;
  sim_unloaded("");
  loaded = false;
  if (library == fake::Library::faulting_unload) sim_fault(FAULT_NULL_WRITE);
}

void MessageBoxA(HWND owner, const char* text, const char* caption,
                 std::uint32_t type) {
  std::string line = "box " + icon(type) + " [" + caption + "] ";
  for (const char* c = text; *c != '\0'; ++c) {
    line += *c == '\n' ? std::string("\\n") : std::string(1, *c);
  }
  if (owner != nullptr) line += " [owner]";
  // The tool's own code runs outside every marked call.
  if (library_call != nullptr) line += " [inside a library call]";
  record.push_back(line);
}

int catch_library_faults(int (*run)(), FaultReport report) {
  fault_report = report;
  return run();
}

void begin_library_call(const LibraryCall& call) {
  if (library_call != nullptr) record.push_back("[library call not ended]");
  library_call = &call;
}

void end_library_call() { library_call = nullptr; }

}  // namespace platform
