// The services that read and change the setup process's own surroundings, against the running
// Windows: its environment variables, its clock and time zone, and the setting-change broadcast
// that tells other programs the environment changed. Variables are named uniquely per run and
// deleted again; the clock cases check dates and the range of the zone conversions, no durations.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/ansi_case.h"
#include "platform/clock.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_environment.h"
#include "platform/win32/win32_window_broadcast.h"
#include "platform/win_error.h"
#include "win32/scratch_places.h"

namespace platform::win32 {
namespace {

class EnvironmentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    name_ = "Tarvium_" + tarvium::test::UniqueTestName("env");
    std::replace(name_.begin(), name_.end(), '-', '_');
  }
  void TearDown() override {
    environment_.DeleteVariable(name_);
    environment_.DeleteVariable("=" + name_);
  }

  Win32Environment environment_;
  std::string name_;
};

TEST_F(EnvironmentTest, VariablesOfEveryLengthAreSetReadWithoutRegardToCaseAndDeleted) {
  std::string value = "stale";
  EXPECT_EQ(ERROR_ENVVAR_NOT_FOUND, environment_.GetVariable(name_, value));
  EXPECT_EQ("", value);
  // An empty value is a set variable; the longer ones outgrow the first buffer.
  for (size_t nLength : {size_t{0}, size_t{255}, size_t{256}, size_t{5000}}) {
    const std::string written(nLength, 'v');
    ASSERT_EQ(ERROR_SUCCESS, environment_.SetVariable(name_, written)) << nLength;
    value = "stale";
    EXPECT_EQ(ERROR_SUCCESS, environment_.GetVariable(platform::AnsiUpper(name_), value));
    EXPECT_EQ(written, value) << nLength;
  }
  EXPECT_EQ(ERROR_SUCCESS, environment_.DeleteVariable(platform::AnsiLower(name_)));
  EXPECT_EQ(ERROR_ENVVAR_NOT_FOUND, environment_.GetVariable(name_, value));
}

TEST_F(EnvironmentTest, TheBlockHoldsEveryVariableButTheHiddenOnes) {
  ASSERT_EQ(ERROR_SUCCESS, environment_.SetVariable(name_, "in block"));
  // Windows takes a leading '=' as part of the name: such entries are its own hidden ones.
  ASSERT_EQ(ERROR_SUCCESS, environment_.SetVariable("=" + name_, "hidden"));
  const std::vector<std::string> block = environment_.Block();
  EXPECT_NE(block.end(), std::find(block.begin(), block.end(), name_ + "=in block"));
  for (const std::string& entry : block) EXPECT_NE('=', entry.front()) << entry;
}

TEST_F(EnvironmentTest, ExpansionReplacesSetVariablesAndKeepsTheRest) {
  const std::string longValue(3000, 'x');
  ASSERT_EQ(ERROR_SUCCESS, environment_.SetVariable(name_, longValue));
  const std::string reference = "%" + name_ + "%";
  const std::string unknown = "%" + name_ + "_unset%";
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"a" + reference + "b" + reference, "a" + longValue + "b" + longValue},
      {unknown, unknown},
      {"100%", "100%"},
  };
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(expected, environment_.ExpandEnvironmentStrings(text)) << text;
}

TEST(WindowBroadcastTest, ASentSettingChangeIsRecorded) {
  platform::win32::Win32WindowBroadcast broadcasts;
  ASSERT_EQ(ERROR_SUCCESS, broadcasts.BroadcastSettingChange("Environment", 1000));
  ASSERT_EQ(ERROR_SUCCESS, broadcasts.BroadcastSettingChange("Windows", 1000));
  EXPECT_EQ((std::vector<std::string>{"WM_WININICHANGE Environment", "WM_WININICHANGE Windows"}),
            broadcasts.SettingChanges());
}

// A calendar time names a real date: its day of the week is the date's own.
TEST(ClockTest, CalendarTimesAreRealDates) {
  Win32Clock clock;
  SystemTime utc, local;
  clock.GetSystemTime(utc);
  clock.GetLocalTime(local);
  for (const SystemTime& st : {utc, local}) {
    uint64_t ftTime = 0;
    SystemTime again;
    ASSERT_TRUE(platform::SystemTimeToFileTime(st, ftTime));
    ASSERT_TRUE(platform::FileTimeToSystemTime(ftTime, again));
    EXPECT_EQ(again.wDayOfWeek, st.wDayOfWeek);
    EXPECT_GE(st.wYear, 2000);
  }
}

// A result beyond either end of the FILETIME range fails; which end depends on the zone's bias.
TEST(ClockTest, ConversionsFailWhenTheResultLeavesTheRange) {
  Win32Clock clock;
  uint64_t ftLocal = 0;
  const uint64_t ftMiddle = 1ULL << 59;
  ASSERT_EQ(ERROR_SUCCESS, clock.FileTimeToLocalFileTime(ftMiddle, ftLocal));
  const int64_t nBias = static_cast<int64_t>(ftLocal - ftMiddle);
  const uint64_t kLargest = 0x7FFFFFFFFFFFFFFFULL;
  uint64_t ftResult = 0;
  EXPECT_EQ(nBias > 0 ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS,
            clock.FileTimeToLocalFileTime(kLargest, ftResult));
  EXPECT_EQ(nBias < 0 ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS,
            clock.FileTimeToLocalFileTime(0, ftResult));
  EXPECT_EQ(nBias < 0 ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS,
            clock.LocalFileTimeToFileTime(kLargest, ftResult));
  EXPECT_EQ(nBias > 0 ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS,
            clock.LocalFileTimeToFileTime(0, ftResult));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, clock.FileTimeToLocalFileTime(UINT64_MAX, ftResult));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, clock.LocalFileTimeToFileTime(UINT64_MAX, ftResult));
}

}  // namespace
}  // namespace platform::win32
