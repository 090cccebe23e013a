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

// Shown and released after the interface is open: the error comes first,
// then the interface is closed (its status no longer matters) and the
// library freed.
int fail_with_interface(const char* text, MetalInterface* metal,
                        HMODULE library) {
  show_message(ERROR_MESSAGE, "%s", text);
  static_cast<void>(metal_close(metal));
  FreeLibrary(library);
  return EXIT_FAILED;
}

}  // namespace

int run_probe() {
  HMODULE library = LoadLibraryA(METAL_LIBRARY_NAME);
  if (library == nullptr) {
    show_message(ERROR_MESSAGE, "Failed to open S3 MeTaL API library.");
    return EXIT_FAILED;
  }

  auto open = reinterpret_cast<MetalOpenFunction>(
      GetProcAddress(library, METAL_ENTRY_NAME));
  if (open == nullptr) {
    show_message(ERROR_MESSAGE,
                 "Failed to retrieve S3 MeTaL API from the library.");
    FreeLibrary(library);
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
    FreeLibrary(library);
    return EXIT_FAILED;
  }

  std::uint32_t device_id = 0;
  if (metal_query(metal, KEY_DEVICE_ID, &device_id) != METAL_CALL_OK) {
    return fail_with_interface("Failed to retrieve S3 MeTaL device ID.", metal,
                               library);
  }

  std::uint32_t video_memory_size = 0;
  if (metal_query(metal, KEY_VIDEO_MEMORY_SIZE, &video_memory_size) !=
      METAL_CALL_OK) {
    return fail_with_interface(
        "Failed to retrieve S3 MeTaL device video memory size.", metal,
        library);
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

  if (metal_close(metal) != METAL_CALL_OK) {
    show_message(ERROR_MESSAGE, "Failed at closing S3 MeTaL interface.");
  }
  FreeLibrary(library);
  return EXIT_REPORTED;
}
