#include "messages/messages.h"

#include <gtest/gtest.h>

#include <string>

#include "platform_fake.h"

namespace {

// Every other key of both tables shows in the outcome table; code 0 is
// success, so no run of the tool asks for its text.
TEST(Lookups, KeyNoRunAsksFor) { EXPECT_STREQ(result_reason(0), "No error"); }

// The formatter's cutting is format_test's; this pins the buffer's size.
TEST(ShowMessage, CutsLongTextsToTheBuffer) {
  fake::reset(fake::Library::none, nullptr);
  show_message(true, "%s", std::string(1000, 'z').c_str());
  ASSERT_EQ(fake::events().size(), 1u);
  const std::string& box = fake::events()[0];
  EXPECT_EQ(box.substr(box.find("] ") + 2), std::string(255, 'z'));
}

}  // namespace
