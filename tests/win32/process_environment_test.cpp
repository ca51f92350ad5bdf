// The services that read and change the setup process's own surroundings, against the running
// Windows: its environment variables, its clock and time zone, and the setting-change broadcast
// that tells other programs the environment changed. Variables are named uniquely per run and
// deleted again; the clock cases compare times only for their order, never for durations.
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

namespace {

using platform::ERROR_ENVVAR_NOT_FOUND;
using platform::ERROR_INVALID_PARAMETER;
using platform::ERROR_SUCCESS;
using platform::SystemTime;
using platform::win32::Win32Clock;
using platform::win32::Win32Environment;

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

TEST_F(EnvironmentTest, VariablesAreSetReadWithoutRegardToCaseAndDeleted) {
  std::string value = "stale";
  EXPECT_EQ(ERROR_ENVVAR_NOT_FOUND, environment_.GetVariable(name_, value));
  EXPECT_EQ("", value);
  ASSERT_EQ(ERROR_SUCCESS, environment_.SetVariable(name_, "C:\\Program Files"));
  ASSERT_EQ(ERROR_SUCCESS, environment_.GetVariable(platform::AnsiUpper(name_), value));
  EXPECT_EQ("C:\\Program Files", value);
  EXPECT_EQ(ERROR_SUCCESS, environment_.DeleteVariable(platform::AnsiLower(name_)));
  EXPECT_EQ(ERROR_ENVVAR_NOT_FOUND, environment_.GetVariable(name_, value));
  EXPECT_EQ(ERROR_SUCCESS, environment_.DeleteVariable(name_));  // already gone: Windows agrees
}

TEST_F(EnvironmentTest, ValuesOfEveryLengthComeBackWhole) {
  for (size_t nLength : {size_t{0}, size_t{1}, size_t{255}, size_t{256}, size_t{5000}}) {
    const std::string written(nLength, 'v');
    ASSERT_EQ(ERROR_SUCCESS, environment_.SetVariable(name_, written)) << nLength;
    std::string read = "stale";
    EXPECT_EQ(ERROR_SUCCESS, environment_.GetVariable(name_, read)) << nLength;
    EXPECT_EQ(written, read) << nLength;
  }
}

TEST_F(EnvironmentTest, NamesWithAnEqualsSignOrNoNameAreRefused) {
  EXPECT_EQ(ERROR_INVALID_PARAMETER, environment_.SetVariable(name_ + "=x", "v"));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, environment_.SetVariable("", "v"));
}

TEST_F(EnvironmentTest, TheBlockHoldsEveryVariableButTheHiddenOnes) {
  ASSERT_EQ(ERROR_SUCCESS, environment_.SetVariable(name_, "in block"));
  // Windows takes a leading '=' as part of the name: such entries are its own hidden ones.
  ASSERT_EQ(ERROR_SUCCESS, environment_.SetVariable("=" + name_, "hidden"));
  const std::vector<std::string> block = environment_.Block();
  EXPECT_NE(block.end(), std::find(block.begin(), block.end(), name_ + "=in block"));
  for (const std::string& entry : block) {
    EXPECT_NE('=', entry.front()) << entry;
    std::string value;
    const std::string name = entry.substr(0, entry.find('='));
    EXPECT_EQ(ERROR_SUCCESS, environment_.GetVariable(name, value)) << entry;
    EXPECT_EQ(entry.substr(name.size() + 1), value) << entry;
  }
}

TEST_F(EnvironmentTest, ExpansionReplacesSetVariablesAndKeepsTheRest) {
  const std::string longValue(3000, 'x');
  ASSERT_EQ(ERROR_SUCCESS, environment_.SetVariable(name_, longValue));
  const std::string reference = "%" + name_ + "%";
  const std::string unknown = "%" + name_ + "_unset%";
  struct Case {
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {"", ""},
      {"plain text", "plain text"},
      {reference, longValue},
      {"a" + reference + "b" + reference, "a" + longValue + "b" + longValue},
      {unknown, unknown},
      {"100%", "100%"},
      {"%%", "%%"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.expected, environment_.ExpandEnvironmentStrings(c.text)) << c.text;
}

TEST(WindowBroadcastTest, ASentSettingChangeIsRecorded) {
  platform::win32::Win32WindowBroadcast broadcasts;
  EXPECT_TRUE(broadcasts.SettingChanges().empty());
  ASSERT_EQ(ERROR_SUCCESS, broadcasts.BroadcastSettingChange("Environment", 1000));
  ASSERT_EQ(ERROR_SUCCESS, broadcasts.BroadcastSettingChange("Windows", 1000));
  EXPECT_EQ((std::vector<std::string>{"WM_WININICHANGE Environment", "WM_WININICHANGE Windows"}),
            broadcasts.SettingChanges());
}

uint64_t FileTimeOf(const SystemTime& st) {
  uint64_t ftTime = 0;
  EXPECT_TRUE(platform::SystemTimeToFileTime(st, ftTime));
  return ftTime;
}

// A calendar time names a real date and its day of the week is the date's own.
void ExpectRealDate(const SystemTime& st) {
  SystemTime again;
  ASSERT_TRUE(platform::FileTimeToSystemTime(FileTimeOf(st), again));
  EXPECT_EQ(again.wDayOfWeek, st.wDayOfWeek);
  EXPECT_GE(st.wYear, 2000);
}

TEST(ClockTest, CalendarTimesAreRealDatesInOrderWithTheFileTime) {
  Win32Clock clock;
  SystemTime utc, local;
  clock.GetSystemTime(utc);
  clock.GetLocalTime(local);
  const uint64_t ftNow = clock.GetSystemTimeAsFileTime();
  uint64_t ftLocalNow = 0;
  ASSERT_EQ(ERROR_SUCCESS, clock.FileTimeToLocalFileTime(ftNow, ftLocalNow));
  ExpectRealDate(utc);
  ExpectRealDate(local);
  EXPECT_LE(FileTimeOf(utc), ftNow);
  EXPECT_LE(FileTimeOf(local), ftLocalNow);
}

TEST(ClockTest, TheTickCountNeverGoesBack) {
  Win32Clock clock;
  const uint64_t nBefore = clock.GetTickCount64();
  clock.Sleep(1);
  EXPECT_LE(nBefore, clock.GetTickCount64());
  EXPECT_GT(nBefore, 0u);
}

// The bias of the zone as it is now applies to every date, winter and summer alike, and the two
// conversions undo each other.
TEST(ClockTest, ConversionsUseTodaysBiasForEveryDate) {
  Win32Clock clock;
  const SystemTime winter{2021, 1, 5, 15, 12, 0, 0, 0};
  const SystemTime summer{2021, 7, 0, 4, 12, 0, 0, 0};
  std::vector<int64_t> biases;
  for (const SystemTime& st : {winter, summer}) {
    const uint64_t ftUtc = FileTimeOf(st);
    uint64_t ftLocal = 0, ftBack = 0;
    ASSERT_EQ(ERROR_SUCCESS, clock.FileTimeToLocalFileTime(ftUtc, ftLocal));
    ASSERT_EQ(ERROR_SUCCESS, clock.LocalFileTimeToFileTime(ftLocal, ftBack));
    EXPECT_EQ(ftUtc, ftBack);
    biases.push_back(static_cast<int64_t>(ftLocal - ftUtc));
  }
  EXPECT_EQ(biases[0], biases[1]);
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
