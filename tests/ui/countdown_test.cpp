// The countdown of the restart and processes pages: its text, its steps and its meter.
#include "ui/countdown.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvium::ui {
namespace {

TEST(Countdown, TextTakesTheSecondsOnceAndKeepsEverythingElse) {
  struct Case {
    const char* format;
    const char* expected;
  } cases[] = {
      {"Restarting in: %ld sec", "Restarting in: 12 sec"},
      {"Neustart in %d s", "Neustart in 12 s"},
      {"%d%% of %d", "12% of %d"},
      {"%s %x %", "%s %x %"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(CountdownText(c.format, 12), c.expected) << c.format;
}

// What a page shows after each second: remaining seconds and meter position.
std::vector<std::pair<int, int>> Steps(int nSeconds) {
  Countdown countdown(nSeconds);
  std::vector<std::pair<int, int>> steps{{countdown.Remaining(), countdown.MeterPosition()}};
  for (int i = 0; i < 10 && !countdown.IsOver(); ++i) {
    countdown.Tick();
    steps.emplace_back(countdown.Remaining(), countdown.MeterPosition());
  }
  return steps;
}

TEST(Countdown, CountsDownOnceASecondWithTheMeterUpToSecondsMinusOne) {
  using Steps_ = std::vector<std::pair<int, int>>;
  EXPECT_EQ(Steps(3), (Steps_{{3, 0}, {2, 1}, {1, 2}, {0, 2}}));
  EXPECT_EQ(Steps(1), (Steps_{{1, 0}, {0, 0}}));
  EXPECT_EQ(Countdown(3).MeterLimit(), 2);

  Countdown immediate(0);
  EXPECT_TRUE(immediate.IsShown());
  EXPECT_TRUE(immediate.IsOver());

  Countdown hidden(-1);  // waits for a person: never over, however long
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(hidden.Tick());
  EXPECT_FALSE(hidden.IsShown());
  EXPECT_EQ(hidden.Remaining(), 0);
}

}  // namespace
}  // namespace tarvium::ui
