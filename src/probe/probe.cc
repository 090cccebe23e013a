#include "probe/probe.h"

#include <cstdint>

#include "messages/messages.h"
#include "metal/metal.h"
#include "platform/platform.h"

using platform::FreeLibrary;
using platform::GetProcAddress;
using platform::HMODULE;
using platform::LoadLibraryA;

namespace {

constexpr bool ERROR_MESSAGE = true;
constexpr bool REPORT_MESSAGE = false;

constexpr int EXIT_REPORTED = 0;
constexpr int EXIT_FAILED = 1;

// Reads the two values and shows the report, or the error for the query
// that failed. The interface stays open throughout.
int report_board(MetalInterface* metal) {
  std::uint32_t device_id = 0;
  if (metal_query(metal, KEY_DEVICE_ID, &device_id) != METAL_CALL_OK) {
    show_message(ERROR_MESSAGE, "Failed to retrieve S3 MeTaL device ID.");
    return EXIT_FAILED;
  }

  std::uint32_t video_memory_size = 0;
  if (metal_query(metal, KEY_VIDEO_MEMORY_SIZE, &video_memory_size) !=
      METAL_CALL_OK) {
    show_message(ERROR_MESSAGE,
                 "Failed to retrieve S3 MeTaL device video memory size.");
    return EXIT_FAILED;
  }

  // Sizes print unsigned: a board of 2 GiB or more never shows a negative
  // byte count beside positive KB and MB figures.
  show_message(REPORT_MESSAGE,
               "S3 MeTaL API is supported on this board.\n\n"
               "Board name: %s\nDevice ID: %.4X\n"
               "VRAM size: %u B / %u KB / %u MB",
               board_name(device_id), static_cast<unsigned>(device_id),
               static_cast<unsigned>(video_memory_size),
               static_cast<unsigned>(video_memory_size >> 10),
               static_cast<unsigned>(video_memory_size >> 20));
  return EXIT_REPORTED;
}

// Opens the interface, reports through it and closes it again. A failed
// close is worth a message only after the report; after a failed query the
// run has failed already.
int probe_library(HMODULE library) {
  auto open = reinterpret_cast<MetalOpenFunction>(
      GetProcAddress(library, METAL_ENTRY_NAME));
  if (open == nullptr) {
    show_message(ERROR_MESSAGE,
                 "Failed to retrieve S3 MeTaL API from the library.");
    return EXIT_FAILED;
  }

  MetalInterface* metal = nullptr;
  const std::int32_t result = open(0, &metal);
  if (result != METAL_OPEN_OK || metal == nullptr) {
    // A library that reports success but hands out no interface has failed
    // all the same; its 0 has no reason of its own to give.
    const char* reason =
        result != METAL_OPEN_OK ? result_reason(result) : UNKNOWN_ERROR;
    show_message(ERROR_MESSAGE,
                 "Failed to acquire S3 MeTaL interface.\n\nError: %d\n"
                 "Reason: %s",
                 static_cast<int>(result), reason);
    return EXIT_FAILED;
  }

  const int status = report_board(metal);
  if (metal_close(metal) != METAL_CALL_OK && status == EXIT_REPORTED) {
    show_message(ERROR_MESSAGE, "Failed at closing S3 MeTaL interface.");
  }
  return status;
}

}  // namespace

int run_probe() {
  HMODULE library = LoadLibraryA(METAL_LIBRARY_NAME);
  if (library == nullptr) {
    show_message(ERROR_MESSAGE, "Failed to open S3 MeTaL API library.");
    return EXIT_FAILED;
  }
  const int status = probe_library(library);
  FreeLibrary(library);
  return status;
}
