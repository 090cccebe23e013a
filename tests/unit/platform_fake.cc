#include "platform_fake.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "stand_in.h"
#include "stand_in_library.h"

namespace {

fake::Library library = fake::Library::none;
const char* settings = nullptr;
std::vector<std::string> record;
bool loaded = false;

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

namespace fake {

void reset(Library new_library, const char* new_settings) {
  library = new_library;
  settings = new_settings;
  record.clear();
  loaded = false;
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
}

void MessageBoxA(HWND owner, const char* text, const char* caption,
                 std::uint32_t type) {
  std::string line = "box " + icon(type) + " [" + caption + "] ";
  for (const char* c = text; *c != '\0'; ++c) {
    line += *c == '\n' ? std::string("\\n") : std::string(1, *c);
  }
  if (owner != nullptr) line += " [owner]";
  record.push_back(line);
}

}  // namespace platform
