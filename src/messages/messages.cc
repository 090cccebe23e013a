#include "messages/messages.h"

#include <cstdarg>

#include "platform/platform.h"

namespace {

struct ReasonRow {
  std::uint32_t code;
  const char* text;
};

// Code 2 has no text of its own.
constexpr ReasonRow RESULT_REASONS[] = {
    {0, "No error"},
    {1, "No supported S3D board found"},
    {3, "Out of system memory"},
    {4, "Out of video memory"},
    {5, "Provided invalid state key"},
    {6, "Vertex buffer is in use"},
    {7, "Texture surface lost"},
    {8, "Internal error"},
    {9, "BeginDraw called while Metal application is minimised"},
};

struct BoardRow {
  std::uint32_t device_id;
  const char* name;
};

constexpr BoardRow BOARD_NAMES[] = {
    {0x8A20, "S3 Savage 3D"},
    {0x8A21, "S3 Savage 3D w/ MV"},
    {0x8A22, "S3 Savage 4 (LT/GT/PRO/Xtreme)"},
    {0x8A23, "S3 Savage 4"},
    {0x8C10, "S3 Savage/MX w/ MV"},
    {0x8C11, "S3 Savage/MX"},
    {0x8C12, "S3 Savage/IX w/ MV"},
    {0x8C13, "S3 Savage/IX"},
    {0x9102, "S3 Savage 2000"},
};

}  // namespace

void show_message(bool is_error, const char* format, ...) {
  char text[MESSAGE_BUFFER_SIZE];
  std::va_list args;
  va_start(args, format);
  platform::format_text(text, sizeof text, format, args);
  va_end(args);

  const char* caption = is_error ? ERROR_CAPTION : INFORMATION_CAPTION;
  // The report asks no question, but the question mark is its icon.
  const std::uint32_t style =
      platform::BOX_OK |
      (is_error ? platform::BOX_ICON_HAND : platform::BOX_ICON_QUESTION);
  platform::MessageBoxA(nullptr, text, caption, style);
}

void show_fault(const char* failure, const platform::Fault& fault) {
  // One text for every fault. A conversion given no digits (precision 0)
  // prints nothing for 0: so the signal's name stands where the code would,
  // and the high half of an address shows only where it is not 0.
  const bool named = fault.signal != nullptr;
  const bool in_image = fault.module != nullptr;
  const auto address = static_cast<std::uint64_t>(fault.address);
  show_message(true, "%s\n\nException: %s%.*X\nAddress: %s%s%.0X%.8X", failure,
               named ? fault.signal : "", named ? 0 : 8,
               named ? 0u : static_cast<unsigned>(fault.code),
               in_image ? fault.module : "", in_image ? "+" : "",
               static_cast<unsigned>(address >> 32),
               static_cast<unsigned>(address));
}

const char* result_reason(const std::int32_t& code) {
  const auto key = static_cast<std::uint32_t>(code);
  for (const ReasonRow& row : RESULT_REASONS) {
    if (row.code == key) return row.text;
  }
  return UNKNOWN_ERROR;
}

const char* board_name(const std::uint32_t& device_id) {
  for (const BoardRow& row : BOARD_NAMES) {
    if (row.device_id == device_id) return row.name;
  }
  return UNKNOWN_BOARD;
}
