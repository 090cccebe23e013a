// Runs against the platform's own formatter: natively, and under Wine for
// Windows, where the C runtime's _vsnprintf (crtdll.dll's in the 32-bit
// build, as in the tool) does not terminate a full buffer.
#include <gtest/gtest.h>

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
    std::string format;
    unsigned value;
    std::size_t size;  // the buffer handed over, at most 256
    std::string expected;
  };
  const std::string fits(255, 'w');  // with the zero, the whole buffer
  const Case cases[] = {
      // The outcome table has the tool's own conversions; these are the
      // widest ID and the cutting.
      {"%.4X", 0xFFFFFFFF, 256, "FFFFFFFF"},
      // Buffer of 8: seven characters and the zero fit; more are cut.
      {"ID %.4X", 0x8A2, 8, "ID 08A2"},
      {"ID %.4X", 0x18A22, 8, "ID 18A2"},
      {"ID %.4X", 0xFFFFFFFF, 8, "ID FFFF"},
      {"%u", 7, 1, ""},
      {fits.substr(1), 0, 256, fits.substr(1)},
      {fits, 0, 256, fits},
      {fits + "w", 0, 256, fits},
      {std::string(400, 'w'), 0, 256, fits},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format.substr(0, 12) + " into " + std::to_string(c.size));
    // A guard past the buffer proves nothing is written beyond it.
    char memory[300];
    std::memset(memory, '#', sizeof memory);
    format(memory, c.size, c.format.c_str(), c.value);
    EXPECT_EQ(memory, c.expected);
    EXPECT_EQ(memory[c.size], '#');
  }
}

}  // namespace
