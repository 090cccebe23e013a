// The board behind the stand-in metal.dll: mtlOpen, the interface's
// function table, and the settings that script them.
#include <errno.h>
#include <stdlib.h>
#include <string.h>

#include <cstdint>

#include "stand_in.h"
#include "stand_in_library.h"

namespace {

// The calls a misdeed may come in, by the names the settings give them.
enum Call { NO_CALL, IN_LOAD, IN_OPEN, IN_ID, IN_SIZE, IN_CLOSE };
constexpr const char* CALL_NAMES[] = {"",   "load", "open",
                                      "id", "size", "close"};
// The misdeeds' keys, in the order of Misdeed.
constexpr const char* MISDEED_KEYS[MISDEEDS] = {"quit", "filter", "handled",
                                                "unreadable"};

struct Settings {
  std::uint32_t board = 0x8A22;  // S3 Savage 4
  std::uint32_t vram = 16u << 20;
  std::int32_t open = mtl::OPENED;
  bool null_interface = false;  // mtlOpen succeeds and stores null
  bool no_interface = false;    // mtlOpen succeeds and stores nothing
  std::int32_t id_status = mtl::DONE;
  bool no_id = false;  // the device ID query succeeds and stores nothing
  std::int32_t size_status = mtl::DONE;
  std::int32_t close_status = mtl::DONE;
  bool hang = false;  // mtlOpen never returns
  // How each call faults: FAULT_NONE, FAULT_NULL_WRITE or FAULT_RAISE.
  int fault_open = FAULT_NONE;
  int fault_id = FAULT_NONE;
  int fault_size = FAULT_NONE;
  int fault_close = FAULT_NONE;
  // The call each misdeed comes in.
  Call misdeeds[MISDEEDS] = {NO_CALL, NO_CALL, NO_CALL, NO_CALL};
};

// Internal error: what mtlOpen answers when its settings cannot be
// understood, so that a mistyped setting never passes for the default
// board, and when it is given nowhere to store the interface.
constexpr std::int32_t OPEN_INTERNAL_ERROR = 8;

Settings settings;
bool settings_read = false;  // understood, when the library was loaded
bool loaded = false;
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

bool same(const char* name, const char* text, std::size_t length) {
  return strlen(name) == length && memcmp(name, text, length) == 0;
}

bool apply_number(const char* key, std::size_t key_length, std::int64_t value) {
  const auto is = [&](const char* name) { return same(name, key, key_length); };
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
  } else if (is("no_interface")) {
    settings.no_interface = word != 0;
  } else if (is("id_status")) {
    settings.id_status = status;
  } else if (is("no_id")) {
    settings.no_id = word != 0;
  } else if (is("size_status")) {
    settings.size_status = status;
  } else if (is("close_status")) {
    settings.close_status = status;
  } else if (is("hang")) {
    settings.hang = word != 0;
  } else if (word > static_cast<std::uint32_t>(FAULT_RAISE)) {
    return false;  // the keys left, the faults, take 0 to 2 only
  } else if (is("fault_open")) {
    settings.fault_open = status;
  } else if (is("fault_id")) {
    settings.fault_id = status;
  } else if (is("fault_size")) {
    settings.fault_size = status;
  } else if (is("fault_close")) {
    settings.fault_close = status;
  } else {
    return false;
  }
  return true;
}

// Applies one key=value word; false unless the key is known and the value
// of its kind: a call's name for a misdeed, a number for the rest.
bool apply(const char* key, std::size_t key_length, const char* value,
           std::size_t value_length) {
  for (int misdeed = 0; misdeed < MISDEEDS; ++misdeed) {
    if (!same(MISDEED_KEYS[misdeed], key, key_length)) continue;
    for (int call = IN_LOAD; call <= IN_CLOSE; ++call) {
      if (same(CALL_NAMES[call], value, value_length)) {
        settings.misdeeds[misdeed] = static_cast<Call>(call);
        return true;
      }
    }
    return false;
  }
  std::int64_t number = 0;
  return parse_number(value, value_length, &number) &&
         apply_number(key, key_length, number);
}

// Reads the settings; false (and a log line, and the defaults) on the first
// word that is not a known key with a value of its kind.
bool read_settings() {
  settings = Settings{};
  const char* text = sim_settings();
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
    if (equals == nullptr ||
        !apply(text, static_cast<std::size_t>(equals - text), equals + 1,
               static_cast<std::size_t>(word_end - equals - 1))) {
      sim_log("bad setting %.*s", static_cast<int>(word_length), text);
      settings = Settings{};
      return false;
    }
    text = word_end;
  }
  return true;
}

// Does each misdeed the settings put in this call.
void misbehave(Call call) {
  for (int misdeed = 0; misdeed < MISDEEDS; ++misdeed) {
    if (call != NO_CALL && settings.misdeeds[misdeed] == call) {
      sim_misbehave(static_cast<Misdeed>(misdeed));
    }
  }
}

std::int32_t MTL_CALL close_entry(mtl::Device* self);
std::int32_t MTL_CALL query_entry(mtl::Device* self, std::uint32_t key,
                                  std::uint32_t* value);

// The entries nobody should call: logged, and failed.
std::int32_t MTL_CALL unused_entry() {
  sim_log("unused entry");
  return 0;
}

struct Table {
  Table() {
    for (mtl::Entry& entry : entries) {
      entry = reinterpret_cast<mtl::Entry>(&unused_entry);
    }
    entries[mtl::CLOSE_ENTRY] = reinterpret_cast<mtl::Entry>(&close_entry);
    entries[mtl::QUERY_ENTRY] = reinterpret_cast<mtl::Entry>(&query_entry);
  }
  mtl::Entry entries[mtl::TABLE_ENTRIES];
};

const Table table;
mtl::Device device{table.entries};

// What is wrong with a call on the interface, as a note for its log line;
// empty when nothing is.
const char* misuse(const mtl::Device* self) {
  if (!loaded) return " [library unloaded]";
  if (self != &device) return " [foreign interface]";
  if (!is_open) return " [interface closed]";
  return "";
}

std::int32_t MTL_CALL close_entry(mtl::Device* self) {
  const char* wrong = misuse(self);
  sim_log("close%s", wrong);
  if (*wrong != '\0') return 0;
  misbehave(IN_CLOSE);
  if (settings.fault_close != FAULT_NONE) sim_fault(settings.fault_close);
  is_open = false;
  return settings.close_status;
}

std::int32_t MTL_CALL query_entry(mtl::Device* self, std::uint32_t key,
                                  std::uint32_t* value) {
  const char* wrong = misuse(self);
  // The caller's variable should hold nothing of its own beforehand.
  sim_log("query 0x%X%s%s", static_cast<unsigned>(key), wrong,
          *value != 0 ? " [value preset]" : "");
  if (*wrong != '\0') return 0;
  std::int32_t status = 0;
  std::uint32_t answer = 0;
  bool stores = true;
  int fault = FAULT_NONE;
  if (key == mtl::QUERY_DEVICE_ID) {
    misbehave(IN_ID);
    fault = settings.fault_id;
    status = settings.id_status;
    answer = settings.board;
    stores = !settings.no_id;
  } else if (key == mtl::QUERY_VIDEO_MEMORY) {
    misbehave(IN_SIZE);
    fault = settings.fault_size;
    status = settings.size_status;
    answer = settings.vram;
  }
  if (fault != FAULT_NONE) sim_fault(fault);
  if (status == mtl::DONE && stores) *value = answer;
  return status;
}

}  // namespace

void sim_loaded(const char* how) {
  loaded = true;
  is_open = false;
  sim_log("load%s", how);
  settings_read = read_settings();
  misbehave(IN_LOAD);
}

void sim_unloaded(const char* how) {
  sim_log("unload%s%s", how, is_open ? " [interface open]" : "");
  loaded = false;
}

extern "C" std::int32_t MTL_CALL mtlOpen(std::uint32_t flags,
                                         mtl::Device** out) {
  sim_log("open %u%s%s", static_cast<unsigned>(flags),
          loaded ? "" : " [library unloaded]",
          out != nullptr && *out != nullptr ? " [interface preset]" : "");
  if (out == nullptr || !settings_read) return OPEN_INTERNAL_ERROR;
  misbehave(IN_OPEN);
  if (settings.hang) sim_wait_forever();
  if (settings.fault_open != FAULT_NONE) sim_fault(settings.fault_open);
  if (settings.open != mtl::OPENED) {
    // A library may fill in the interface before it fails; the caller must
    // not take it for an open one.
    *out = &device;
    return settings.open;
  }
  if (settings.no_interface) return mtl::OPENED;
  if (settings.null_interface) {
    *out = nullptr;
    return mtl::OPENED;
  }
  is_open = true;
  *out = &device;
  return mtl::OPENED;
}
