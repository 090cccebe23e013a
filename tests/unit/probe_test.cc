#include "probe/probe.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform_fake.h"

namespace {

struct Outcome {
  const char* name;
  fake::Library library;
  const char* settings;
  std::vector<std::string> transcript;
};

// The outcome table every layer replays, written out by tests/outcomes.py.
const Outcome OUTCOMES[] = {
#include "outcomes.inc"
};

TEST(RunProbe, OutcomeTable) {
  for (const Outcome& outcome : OUTCOMES) {
    SCOPED_TRACE(outcome.name);
    fake::reset(outcome.library, outcome.settings);
    const int status = fake::run();
    std::vector<std::string> transcript = fake::events();
    transcript.push_back("exit " + std::to_string(status));
    EXPECT_EQ(transcript, outcome.transcript);
  }
}

}  // namespace
