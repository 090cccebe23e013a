// Everything the tool says passes through here: one formatted message box at
// a time, and the two tables that turn numbers into words.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

constexpr std::size_t MESSAGE_BUFFER_SIZE = 256;

constexpr const char ERROR_CAPTION[] = "Fatal error";
constexpr const char INFORMATION_CAPTION[] = "S3 MeTaL API information tool";

// The reason given for every result code the table does not name.
constexpr const char UNKNOWN_ERROR[] = "Unknown error";
// The name given for every device ID the table does not name.
constexpr const char UNKNOWN_BOARD[] = "Unknown S3 board";

// Formats the message into a 256-byte buffer (cut, never overrun, if it were
// longer) and shows it in a modal box: "Fatal error" with the stop icon for
// an error, the information caption with the question-mark icon otherwise.
// Returns when the user has dismissed it.
void show_message(bool is_error, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// Shows the error for a fault inside a call into the library: the step's own
// failure text, then the exception code (or the signal's name) and where it
// happened, as metal.dll+OFFSET inside the library's image, else the address.
// Hexadecimal, upper case, eight digits at least.
void show_fault(const char* failure, const platform::Fault& fault);

// The text for a result code of mtlOpen. The code is read as unsigned, so
// every negative code, like every code above 9, is an "Unknown error".
[[nodiscard]] const char* result_reason(const std::int32_t& code);

// The board's name for its whole 32-bit PCI device ID.
[[nodiscard]] const char* board_name(const std::uint32_t& device_id);
