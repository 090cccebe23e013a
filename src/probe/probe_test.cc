#include "probe/probe.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "platform/platform_fake.h"

namespace {

using Events = std::vector<std::string>;

const std::string LOAD = "LoadLibraryA metal.dll";
const std::string RESOLVE = "GetProcAddress mtlOpen";
const std::string OPEN = "mtlOpen 0";
const std::string QUERY_ID = "query 0x10A";
const std::string QUERY_SIZE = "query 0x10B";
const std::string CLOSE = "close";
const std::string FREE = "FreeLibrary";

std::string error_box(const std::string& text) {
  return "MessageBoxA 0x10 [Fatal error] " + text;
}

std::string acquire_failure(const std::string& code, const std::string& why) {
  return error_box("Failed to acquire S3 MeTaL interface.\n\nError: " + code +
                   "\nReason: " + why);
}

std::string report(const std::string& board, const std::string& id,
                   const std::string& sizes) {
  return "MessageBoxA 0x20 [S3 MeTaL API information tool] "
         "S3 MeTaL API is supported on this board.\n\nBoard name: " +
         board + "\nDevice ID: " + id + "\nVRAM size: " + sizes;
}

const std::string SAVAGE4_REPORT =
    "MessageBoxA 0x20 [S3 MeTaL API information tool] "
    "S3 MeTaL API is supported on this board.\n\n"
    "Board name: S3 Savage 4 (LT/GT/PRO/Xtreme)\n"
    "Device ID: 8A22\n"
    "VRAM size: 16777216 B / 16384 KB / 16 MB";

const std::string ID_FAILURE =
    error_box("Failed to retrieve S3 MeTaL device ID.");
const std::string SIZE_FAILURE =
    error_box("Failed to retrieve S3 MeTaL device video memory size.");
const std::string CLOSE_FAILURE =
    error_box("Failed at closing S3 MeTaL interface.");

struct Case {
  const char* name;
  fake::Script script;
  Events expected;
  int exit_status;
};

fake::Script with(void (*change)(fake::Script&)) {
  fake::Script script;
  change(script);
  return script;
}

// A script that differs from the default in one status or code.
fake::Script set(std::int32_t fake::Script::*field, std::int32_t value) {
  fake::Script script;
  script.*field = value;
  return script;
}

fake::Script board(std::uint32_t device_id, std::uint32_t size) {
  fake::Script script;
  script.device_id = device_id;
  script.video_memory_size = size;
  return script;
}

Events acquire_failed(const std::string& box) {
  return {LOAD, RESOLVE, OPEN, box, FREE};
}

Events id_failed() {
  return {LOAD, RESOLVE, OPEN, QUERY_ID, ID_FAILURE, CLOSE, FREE};
}

Events size_failed() {
  return {LOAD, RESOLVE, OPEN, QUERY_ID, QUERY_SIZE, SIZE_FAILURE, CLOSE, FREE};
}

Events reported(const std::string& box) {
  return {LOAD, RESOLVE, OPEN, QUERY_ID, QUERY_SIZE, box, CLOSE, FREE};
}

Events close_failed() {
  return {LOAD,           RESOLVE, OPEN,          QUERY_ID, QUERY_SIZE,
          SAVAGE4_REPORT, CLOSE,   CLOSE_FAILURE, FREE};
}

const Case CASES[] = {
    {"no library",
     with([](fake::Script& s) { s.library_loads = false; }),
     {LOAD, error_box("Failed to open S3 MeTaL API library.")},
     1},
    {"no entry",
     with([](fake::Script& s) { s.exports_open = false; }),
     {LOAD, RESOLVE,
      error_box("Failed to retrieve S3 MeTaL API from the library."), FREE},
     1},

    {"open code 1", set(&fake::Script::open_result, 1),
     acquire_failed(acquire_failure("1", "No supported S3D board found")), 1},
    {"open code 2 has no text", set(&fake::Script::open_result, 2),
     acquire_failed(acquire_failure("2", "Unknown error")), 1},
    {"open code 4", set(&fake::Script::open_result, 4),
     acquire_failed(acquire_failure("4", "Out of video memory")), 1},
    {"open code 9", set(&fake::Script::open_result, 9),
     acquire_failed(acquire_failure(
         "9", "BeginDraw called while Metal application is minimised")),
     1},
    {"open code -1 prints signed", set(&fake::Script::open_result, -1),
     acquire_failed(acquire_failure("-1", "Unknown error")), 1},
    {"open code INT_MIN", set(&fake::Script::open_result, INT_MIN),
     acquire_failed(acquire_failure("-2147483648", "Unknown error")), 1},
    {"open succeeds with a null interface",
     with([](fake::Script& s) { s.store_null_interface = true; }),
     acquire_failed(acquire_failure("0", "Unknown error")), 1},
    {"open succeeds and stores nothing",
     with([](fake::Script& s) { s.store_no_interface = true; }),
     acquire_failed(acquire_failure("0", "Unknown error")), 1},

    {"device ID status 0", set(&fake::Script::id_status, 0), id_failed(), 1},
    {"device ID status 2", set(&fake::Script::id_status, 2), id_failed(), 1},
    {"device ID status -1", set(&fake::Script::id_status, -1), id_failed(), 1},
    {"size status 0", set(&fake::Script::size_status, 0), size_failed(), 1},
    {"size status 2", set(&fake::Script::size_status, 2), size_failed(), 1},
    {"size status -1", set(&fake::Script::size_status, -1), size_failed(), 1},

    {"Savage 4 with 16 MiB", fake::Script{}, reported(SAVAGE4_REPORT), 0},
    {"ID zero-filled to four digits", board(0x123, 16u << 20),
     reported(
         report("Unknown S3 board", "0123", "16777216 B / 16384 KB / 16 MB")),
     0},
    {"ID wider than 16 bits is unknown and printed whole",
     board(0x18A22, 16u << 20),
     reported(
         report("Unknown S3 board", "18A22", "16777216 B / 16384 KB / 16 MB")),
     0},
    {"sizes round down", board(0x8C13, (1u << 20) - 1),
     reported(report("S3 Savage/IX", "8C13", "1048575 B / 1023 KB / 0 MB")), 0},
    {"largest size prints unsigned", board(0x9102, 0xFFFFFFFFu),
     reported(report("S3 Savage 2000", "9102",
                     "4294967295 B / 4194303 KB / 4095 MB")),
     0},
    {"ID query succeeds without storing: reads as 0",
     with([](fake::Script& s) { s.id_stores_nothing = true; }),
     reported(
         report("Unknown S3 board", "0000", "16777216 B / 16384 KB / 16 MB")),
     0},

    {"close status 0 after the report", set(&fake::Script::close_status, 0),
     close_failed(), 0},
    {"close status 2 after the report", set(&fake::Script::close_status, 2),
     close_failed(), 0},
    {"close status -1 after the report", set(&fake::Script::close_status, -1),
     close_failed(), 0},
    {"close status is not looked at after a failed query",
     with([](fake::Script& s) {
       s.size_status = 0;
       s.close_status = 0;
     }),
     size_failed(), 1},
};

TEST(RunProbe, OutcomeTable) {
  for (const Case& c : CASES) {
    SCOPED_TRACE(c.name);
    fake::reset(c.script);
    const int status = run_probe();
    EXPECT_EQ(fake::events(), c.expected);
    EXPECT_EQ(status, c.exit_status);
  }
}

}  // namespace
