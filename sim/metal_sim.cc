#include <errno.h>
#include <stdlib.h>
#include <string.h>

#include <cstdint>

#include "metal/metal.h"
#include "metal/metal_table.h"
#include "sim.h"

namespace {

struct Settings {
  std::uint32_t board = 0x8A22;  // S3 Savage 4
  std::uint32_t vram = 16u << 20;
  std::int32_t open = METAL_OPEN_OK;
  bool null_interface = false;
  std::int32_t id_status = METAL_CALL_OK;
  std::int32_t size_status = METAL_CALL_OK;
  std::int32_t close_status = METAL_CALL_OK;
  bool hang = false;  // mtlOpen never returns
};

// Internal error: what mtlOpen answers when METAL_SIM cannot be understood,
// so that a mistyped setting never passes for the default board, and when
// it is given nowhere to store the interface.
constexpr std::int32_t OPEN_INTERNAL_ERROR = 8;

Settings settings;
bool is_open = false;

// Reads one number: decimal, 0x-hexadecimal or negative, as long as it fits
// 32 bits either signed or unsigned.
bool parse_number(const char* text, std::size_t length, std::int64_t* value) {
  char digits[24];
  if (length == 0 || length >= sizeof digits) return false;
  memcpy(digits, text, length);
  digits[length] = '\0';
  char* end = nullptr;
  errno = 0;
  const long long number = strtoll(digits, &end, 0);
  if (errno != 0 || *end != '\0') return false;
  if (number < INT32_MIN || number > static_cast<long long>(UINT32_MAX)) {
    return false;
  }
  *value = number;
  return true;
}

bool apply(const char* key, std::size_t key_length, std::int64_t value) {
  const auto is = [&](const char* name) {
    return strlen(name) == key_length && memcmp(name, key, key_length) == 0;
  };
  // Two's complement either way: 0xFFFFFFFF and -1 are the same word.
  const auto word = static_cast<std::uint32_t>(value);
  const auto status = static_cast<std::int32_t>(word);
  if (is("board")) {
    settings.board = word;
  } else if (is("vram")) {
    settings.vram = word;
  } else if (is("open")) {
    settings.open = status;
  } else if (is("null_interface")) {
    settings.null_interface = word != 0;
  } else if (is("id_status")) {
    settings.id_status = status;
  } else if (is("size_status")) {
    settings.size_status = status;
  } else if (is("close_status")) {
    settings.close_status = status;
  } else if (is("hang")) {
    settings.hang = word != 0;
  } else {
    return false;
  }
  return true;
}

// Reads METAL_SIM into settings; false (and a log line) on the first word
// that is not a known key with a number.
bool read_settings() {
  settings = Settings{};
  const char* text = getenv("METAL_SIM");
  if (text == nullptr) return true;
  while (*text != '\0') {
    if (*text == ' ') {
      ++text;
      continue;
    }
    const char* word_end = strchr(text, ' ');
    if (word_end == nullptr) word_end = text + strlen(text);
    const auto word_length = static_cast<std::size_t>(word_end - text);
    const char* equals =
        static_cast<const char*>(memchr(text, '=', word_length));
    std::int64_t value = 0;
    if (equals == nullptr ||
        !parse_number(equals + 1,
                      static_cast<std::size_t>(word_end - equals - 1),
                      &value) ||
        !apply(text, static_cast<std::size_t>(equals - text), value)) {
      sim_log("bad setting %.*s", static_cast<int>(word_length), text);
      return false;
    }
    text = word_end;
  }
  return true;
}

std::int32_t METAL_CALL close_entry(MetalInterface* self);
std::int32_t METAL_CALL query_entry(MetalInterface* self, std::uint32_t key,
                                    std::uint32_t* value);

const MetalTable table(&close_entry, &query_entry);
MetalInterface board_interface{table.entries()};

// Calls on anything but the open interface are the caller's fault: logged,
// and failed.
bool is_ours(MetalInterface* self, const char* call) {
  if (self == &board_interface && is_open) return true;
  sim_log(
      "%s on %s", call,
      self == &board_interface ? "a closed interface" : "a foreign interface");
  return false;
}

std::int32_t METAL_CALL close_entry(MetalInterface* self) {
  sim_log("close");
  if (!is_ours(self, "close")) return 0;
  is_open = false;
  return settings.close_status;
}

std::int32_t METAL_CALL query_entry(MetalInterface* self, std::uint32_t key,
                                    std::uint32_t* value) {
  sim_log("query 0x%X", static_cast<unsigned>(key));
  if (!is_ours(self, "query")) return 0;
  std::int32_t status = 0;
  std::uint32_t answer = 0;
  if (key == KEY_DEVICE_ID) {
    status = settings.id_status;
    answer = settings.board;
  } else if (key == KEY_VIDEO_MEMORY_SIZE) {
    status = settings.size_status;
    answer = settings.vram;
  }
  if (status == METAL_CALL_OK) *value = answer;
  return status;
}

}  // namespace

extern "C" std::int32_t METAL_CALL mtlOpen(std::uint32_t flags,
                                           MetalInterface** out) {
  sim_log("open %u", static_cast<unsigned>(flags));
  if (out == nullptr || !read_settings()) return OPEN_INTERNAL_ERROR;
  if (settings.hang) sim_wait_forever();
  if (settings.open != METAL_OPEN_OK) return settings.open;
  if (settings.null_interface) {
    *out = nullptr;
    return METAL_OPEN_OK;
  }
  is_open = true;
  *out = &board_interface;
  return METAL_OPEN_OK;
}
