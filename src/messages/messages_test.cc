#include "messages/messages.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform/platform_fake.h"

namespace {

TEST(Lookups, EdgesOfBothTables) {
  struct Reason {
    std::int32_t code;
    const char* text;
  };
  // 0 has a text although a successful open never asks for it; 2 has none.
  const Reason reasons[] = {
      {0, "No error"},
      {2, "Unknown error"},
      {3, "Out of system memory"},
      {10, "Unknown error"},
      {-1, "Unknown error"},
      {INT_MIN, "Unknown error"},
      {-9, "Unknown error"},
      {1, "No supported S3D board found"},
  };
  for (const Reason& r : reasons) {
    EXPECT_STREQ(result_reason(r.code), r.text) << "code " << r.code;
  }

  struct Board {
    std::uint32_t id;
    const char* name;
  };
  // Matched on all 32 bits: a known low half is not enough.
  const Board boards[] = {
      {0x8A20, "S3 Savage 3D"},         {0x8C10, "S3 Savage/MX w/ MV"},
      {0x9102, "S3 Savage 2000"},       {0x18A22, "Unknown S3 board"},
      {0xFFFF8A22, "Unknown S3 board"}, {0, "Unknown S3 board"},
  };
  for (const Board& b : boards) {
    EXPECT_STREQ(board_name(b.id), b.name) << std::hex << b.id;
  }
}

TEST(ShowMessage, KindChoosesCaptionAndIconAndLongTextsAreCut) {
  struct Case {
    bool is_error;
    std::string text;
    std::string expected;
  };
  const std::string fits(255, 'x');
  const Case cases[] = {
      {true, "boom", "MessageBoxA 0x10 [Fatal error] boom"},
      {false, "hello",
       "MessageBoxA 0x20 [S3 MeTaL API information tool] hello"},
      // 255 characters and the zero fill the buffer exactly.
      {true, fits, "MessageBoxA 0x10 [Fatal error] " + fits},
      {true, fits + "y", "MessageBoxA 0x10 [Fatal error] " + fits},
      {true, std::string(1000, 'z'),
       "MessageBoxA 0x10 [Fatal error] " + std::string(255, 'z')},
  };
  for (const Case& c : cases) {
    fake::reset(fake::Script{});
    show_message(c.is_error, "%s", c.text.c_str());
    EXPECT_EQ(fake::events(), std::vector<std::string>{c.expected})
        << c.text.size() << " characters";
  }
}

}  // namespace
