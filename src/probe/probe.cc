#include "probe/probe.h"

#include <cstdint>

#include "messages/messages.h"
#include "metal/metal.h"
#include "platform/platform.h"

using platform::begin_library_call;
using platform::end_library_call;
using platform::FreeLibrary;
using platform::GetProcAddress;
using platform::HMODULE;
using platform::LibraryCall;
using platform::LoadLibraryA;

namespace {

constexpr bool ERROR_MESSAGE = true;
constexpr bool REPORT_MESSAGE = false;

constexpr int EXIT_REPORTED = 0;
constexpr int EXIT_FAILED = 1;

// Each step's own error text: what it shows when it fails by its result, and
// what the report of a fault inside its call into the library starts with.
constexpr char LOAD_FAILED[] = "Failed to open S3 MeTaL API library.";
constexpr char OPEN_FAILED[] = "Failed to acquire S3 MeTaL interface.";
constexpr char ID_FAILED[] = "Failed to retrieve S3 MeTaL device ID.";
constexpr char SIZE_FAILED[] =
    "Failed to retrieve S3 MeTaL device video memory size.";
constexpr char CLOSE_FAILED[] = "Failed at closing S3 MeTaL interface.";

// The calls into the library before the report: a fault inside one fails the
// run. Close and unload end it with the status it already has.
constexpr LibraryCall LOADING{LOAD_FAILED, EXIT_FAILED};
constexpr LibraryCall OPENING{OPEN_FAILED, EXIT_FAILED};
constexpr LibraryCall READING_ID{ID_FAILED, EXIT_FAILED};
constexpr LibraryCall READING_SIZE{SIZE_FAILED, EXIT_FAILED};

// Reads the two values and shows the report, or the error for the query
// that failed. The interface stays open throughout.
int report_board(MetalInterface* metal) {
  std::uint32_t device_id = 0;
  begin_library_call(READING_ID);
  const std::int32_t id_status = metal_query(metal, KEY_DEVICE_ID, &device_id);
  end_library_call();
  if (id_status != METAL_CALL_OK) {
    show_message(ERROR_MESSAGE, ID_FAILED);
    return EXIT_FAILED;
  }

  std::uint32_t video_memory_size = 0;
  begin_library_call(READING_SIZE);
  const std::int32_t size_status =
      metal_query(metal, KEY_VIDEO_MEMORY_SIZE, &video_memory_size);
  end_library_call();
  if (size_status != METAL_CALL_OK) {
    show_message(ERROR_MESSAGE, SIZE_FAILED);
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
  begin_library_call(OPENING);
  const std::int32_t result = open(0, &metal);
  end_library_call();
  if (result != METAL_OPEN_OK || metal == nullptr) {
    // A library that reports success but hands out no interface has failed
    // all the same; its 0 has no reason of its own to give.
    const char* reason =
        result != METAL_OPEN_OK ? result_reason(result) : UNKNOWN_ERROR;
    show_message(ERROR_MESSAGE, "%s\n\nError: %d\nReason: %s", OPEN_FAILED,
                 static_cast<int>(result), reason);
    return EXIT_FAILED;
  }

  const int status = report_board(metal);
  const LibraryCall closing{CLOSE_FAILED, status};
  begin_library_call(closing);
  const std::int32_t close_status = metal_close(metal);
  end_library_call();
  if (close_status != METAL_CALL_OK && status == EXIT_REPORTED) {
    show_message(ERROR_MESSAGE, CLOSE_FAILED);
  }
  return status;
}

// The run inside the fault handler's frame: loads the library, probes it
// and frees it again.
int probe() {
  begin_library_call(LOADING);
  HMODULE library = LoadLibraryA(METAL_LIBRARY_NAME);
  end_library_call();
  if (library == nullptr) {
    show_message(ERROR_MESSAGE, LOAD_FAILED);
    return EXIT_FAILED;
  }
  const int status = probe_library(library);
  // A fault in the library's unload routine is not worth a box of its own:
  // the run has ended, and it keeps its status.
  const LibraryCall unloading{nullptr, status};
  begin_library_call(unloading);
  FreeLibrary(library);
  end_library_call();
  return status;
}

}  // namespace

int run_probe() {
  // Around every call into the library: a library that crashes still gets
  // one box naming the step.
  return platform::catch_library_faults(probe, show_fault);
}
