#include "messages/messages.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform_fake.h"

namespace {

// Every other row of both tables shows in the outcome table; here are the
// keys no run of the tool can ask for.
TEST(Lookups, KeysNoRunAsksFor) {
  EXPECT_STREQ(result_reason(0), "No error");
  // Code 2 has no text of its own; neither has any code outside 0 to 9,
  // read as unsigned.
  const char* unknown = result_reason(2);
  for (std::int32_t code : {10, -1, -9, INT_MIN, INT_MAX}) {
    EXPECT_STREQ(result_reason(code), unknown) << "code " << code;
  }
  // Matched on all 32 bits: a known low half is not enough.
  const char* unknown_board = board_name(0x123);
  for (std::uint32_t id : {0u, 0xFFFF8A22u, 0x10009102u}) {
    EXPECT_STREQ(board_name(id), unknown_board) << std::hex << id;
  }
}

// The formatter's cutting is format_test's; this pins the buffer's size.
TEST(ShowMessage, CutsLongTextsToTheBuffer) {
  fake::reset(fake::Library::none, nullptr);
  show_message(true, "%s", std::string(1000, 'z').c_str());
  ASSERT_EQ(fake::events().size(), 1u);
  const std::string& box = fake::events()[0];
  EXPECT_EQ(box.substr(box.find("] ") + 2), std::string(255, 'z'));
}

}  // namespace
