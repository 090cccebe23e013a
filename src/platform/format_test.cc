// Runs against the platform's own formatter: natively, and under Wine for
// Windows, where msvcrt's _vsnprintf does not terminate a full buffer.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "platform/platform.h"

namespace {

void format(char* buffer, std::size_t size, const char* format_text, ...) {
  std::va_list args;
  va_start(args, format_text);
  platform::format_text(buffer, size, format_text, args);
  va_end(args);
}

TEST(FormatText, ConversionsAndCutting) {
  struct Case {
    const char* format;
    unsigned value;
    std::size_t size;  // the buffer handed over, at most 256
    const char* expected;
  };
  const Case cases[] = {
      {"%.4X", 0x0, 256, "0000"},
      {"%.4X", 0x123, 256, "0123"},
      {"%.4X", 0xABC, 256, "0ABC"},
      {"%.4X", 0x8A22, 256, "8A22"},
      {"%.4X", 0x18A22, 256, "18A22"},
      {"%.4X", 0xFFFFFFFF, 256, "FFFFFFFF"},
      {"%d", 0x80000000, 256, "-2147483648"},
      {"%u", 0xFFFFFFFF, 256, "4294967295"},
      // Buffer of 8: seven characters and the zero fit; more are cut.
      {"ID %.4X", 0x8A2, 8, "ID 08A2"},
      {"ID %.4X", 0x18A22, 8, "ID 18A2"},
      {"ID %.4X", 0xFFFFFFFF, 8, "ID FFFF"},
      {"%u", 7, 1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.format) + " into " + std::to_string(c.size));
    // A guard past the buffer proves nothing is written beyond it.
    char memory[260];
    std::memset(memory, '#', sizeof memory);
    format(memory, c.size, c.format, c.value);
    EXPECT_STREQ(memory, c.expected);
    EXPECT_EQ(memory[c.size], '#');
  }
}

TEST(FormatText, LongTextComesBackCutAndTerminated) {
  const std::string long_text(400, 'w');
  for (std::size_t length : {254u, 255u, 256u, 257u, 400u}) {
    SCOPED_TRACE(length);
    char memory[300];
    std::memset(memory, '#', sizeof memory);
    format(memory, 256, "%s", long_text.substr(0, length).c_str());
    EXPECT_EQ(std::string(memory),
              long_text.substr(0, length < 255 ? length : 255));
    EXPECT_EQ(memory[256], '#');
  }
}

}  // namespace
