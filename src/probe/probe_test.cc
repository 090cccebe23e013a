#include "probe/probe.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/platform_fake.h"

namespace {

struct Outcome {
  const char* name;
  const char* library;  // "board", "no_entry" or null for none
  const char* settings;
  std::vector<std::string> transcript;
};

// The outcome table every layer replays, written out by tests/outcomes.py.
const Outcome OUTCOMES[] = {
#include "outcomes.inc"
};

fake::Library library_of(const char* name) {
  if (name == nullptr) return fake::Library::none;
  if (std::strcmp(name, "no_entry") == 0) return fake::Library::no_entry;
  return fake::Library::board;
}

TEST(RunProbe, OutcomeTable) {
  for (const Outcome& outcome : OUTCOMES) {
    SCOPED_TRACE(outcome.name);
    fake::reset(library_of(outcome.library), outcome.settings);
    const int status = run_probe();
    std::vector<std::string> transcript = fake::events();
    transcript.push_back("exit " + std::to_string(status));
    EXPECT_EQ(transcript, outcome.transcript);
  }
}

}  // namespace
