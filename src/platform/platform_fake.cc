#include "platform/platform_fake.h"

#include <cstdio>

#include "metal/metal.h"
#include "metal/metal_table.h"
#include "platform/platform.h"

namespace {

fake::Script script;
std::vector<std::string> record;

// Stand-ins for the handles the real calls hand out.
platform::Module* const LIBRARY = reinterpret_cast<platform::Module*>(0x1000);
bool library_loaded = false;
bool interface_open = false;

std::string hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
  return text;
}

std::int32_t METAL_CALL close_entry(MetalInterface* self);
std::int32_t METAL_CALL query_entry(MetalInterface* self, std::uint32_t key,
                                    std::uint32_t* value);

const MetalTable table(&close_entry, &query_entry);
MetalInterface the_interface{table.entries()};

// Notes what is wrong with a call on the interface, or nothing.
std::string check_interface(MetalInterface* self) {
  if (self != &the_interface) return " [foreign interface]";
  if (!interface_open) return " [interface not open]";
  if (!library_loaded) return " [library freed]";
  return "";
}

std::int32_t METAL_CALL close_entry(MetalInterface* self) {
  record.push_back("close" + check_interface(self));
  interface_open = false;
  return script.close_status;
}

std::int32_t METAL_CALL query_entry(MetalInterface* self, std::uint32_t key,
                                    std::uint32_t* value) {
  std::string line = "query " + hex(key) + check_interface(self);
  if (*value != 0) line += " [value preset]";
  record.push_back(line);
  if (key == KEY_DEVICE_ID) {
    if (script.id_status == METAL_CALL_OK && !script.id_stores_nothing) {
      *value = script.device_id;
    }
    return script.id_status;
  }
  if (key == KEY_VIDEO_MEMORY_SIZE) {
    if (script.size_status == METAL_CALL_OK) *value = script.video_memory_size;
    return script.size_status;
  }
  return 0;
}

std::int32_t METAL_CALL open_entry(std::uint32_t flags, MetalInterface** out) {
  std::string line = "mtlOpen " + std::to_string(flags);
  if (!library_loaded) line += " [library freed]";
  if (*out != nullptr) line += " [interface preset]";
  record.push_back(line);
  if (script.open_result != METAL_OPEN_OK) return script.open_result;
  if (script.store_no_interface) return METAL_OPEN_OK;
  if (script.store_null_interface) {
    *out = nullptr;
    return METAL_OPEN_OK;
  }
  interface_open = true;
  *out = &the_interface;
  return METAL_OPEN_OK;
}

std::string check_library(platform::HMODULE module) {
  if (module != LIBRARY) return " [foreign module]";
  if (!library_loaded) return " [library not loaded]";
  return "";
}

}  // namespace

namespace fake {

void reset(const Script& new_script) {
  script = new_script;
  record.clear();
  library_loaded = false;
  interface_open = false;
}

const std::vector<std::string>& events() { return record; }

}  // namespace fake

namespace platform {

HMODULE LoadLibraryA(const char* file_name) {
  record.push_back(std::string("LoadLibraryA ") + file_name);
  if (!script.library_loads) return nullptr;
  library_loaded = true;
  return LIBRARY;
}

FARPROC GetProcAddress(HMODULE module, const char* name) {
  record.push_back(std::string("GetProcAddress ") + name +
                   check_library(module));
  if (!script.exports_open) return nullptr;
  return reinterpret_cast<FARPROC>(&open_entry);
}

void FreeLibrary(HMODULE module) {
  std::string line = "FreeLibrary" + check_library(module);
  if (interface_open) line += " [interface open]";
  record.push_back(line);
  library_loaded = false;
}

void MessageBoxA(HWND owner, const char* text, const char* caption,
                 std::uint32_t type) {
  std::string line = "MessageBoxA " + hex(type) + " [" + caption + "] " + text;
  if (owner != nullptr) line += " [owner]";
  record.push_back(line);
}

}  // namespace platform
