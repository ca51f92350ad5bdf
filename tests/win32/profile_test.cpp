// The profile service's own work around Windows' INI functions, on files in a fresh temporary
// folder: values and lists read whole through growing buffers, the meanings of null arguments and
// the errors the service gives itself. The Win.ini case uses a section of its own, removed at the
// end, and is skipped when the user may not write there.
#include "platform/win32/win32_profile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win_error.h"
#include "win32/scratch_places.h"

namespace platform::win32 {
namespace {

using Names = std::vector<std::string>;

// A literal with the zero bytes inside it (a list as the profile functions give it).
template <size_t N>
std::string Zeros(const char (&text)[N]) {
  return std::string(text, N - 1);
}

constexpr char kSample[] =
    "[Strings]\r\n"
    "Plain =  value with blanks  \r\n"
    "=no key\r\n"
    "[Numbers]\n"
    "answer=42\n"
    "negative=-7\n";

class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(tarvium::test::WriteFileBytes(file_, kSample)); }
  void TearDown() override {
    profile_.WritePrivateProfileString(nullptr, nullptr, nullptr, file_);  // let Windows go of it
  }

  tarvium::test::ScratchFolder scratch_;
  const std::string folder_ = scratch_.Path();
  const std::string file_ = scratch_ / "sample.ini";
  Win32Profile profile_;
};

TEST_F(ProfileTest, ValuesNumbersAndNullSectionsOrKeysAsLists) {
  const std::pair<std::string, std::string> reads[] = {
      {profile_.GetPrivateProfileString("STRINGS", "plain", "x", file_), "value with blanks"},
      {profile_.GetPrivateProfileString("Strings", "", "x", file_), "no key"},
      {profile_.GetPrivateProfileString("Strings", "Missing", nullptr, file_), ""},
      {profile_.GetPrivateProfileString(nullptr, "x", "d", file_), Zeros("Strings\0Numbers\0")},
      {profile_.GetPrivateProfileString("Numbers", nullptr, "d", file_),
       Zeros("answer\0negative\0")},
      {profile_.GetPrivateProfileString("Missing", nullptr, "d", file_), "d"},
  };
  for (const auto& [read, expected] : reads) EXPECT_EQ(expected, read);
  EXPECT_EQ(-7, profile_.GetPrivateProfileInt("Numbers", "negative", 0, file_));
  EXPECT_EQ(-99, profile_.GetPrivateProfileInt("Numbers", "missing", -99, file_));
}

TEST_F(ProfileTest, LongValuesAndListsAreReadWhole) {
  const std::string longValue(5000, 'v');
  ASSERT_EQ(ERROR_SUCCESS,
            profile_.WritePrivateProfileString("Long", "value", longValue.c_str(), file_));
  EXPECT_EQ(longValue, profile_.GetPrivateProfileString("Long", "value", "", file_));
  Names keys;
  for (int i = 0; i < 300; ++i) {
    keys.push_back("key" + std::to_string(i));
    ASSERT_EQ(ERROR_SUCCESS,
              profile_.WritePrivateProfileString("Many", keys.back().c_str(), "v", file_));
  }
  EXPECT_EQ(keys, SplitProfileList(profile_.GetPrivateProfileString("Many", nullptr, "", file_)));
  EXPECT_EQ(300u, SplitProfileList(profile_.GetPrivateProfileSection("Many", file_)).size());
}

TEST_F(ProfileTest, WritesCreateFilesNullsDeleteAndBadArgumentsFail) {
  const std::string newFile = folder_ + "\\new.ini";
  ASSERT_EQ(ERROR_SUCCESS, profile_.WritePrivateProfileString("Section", "key", "one", newFile));
  ASSERT_EQ(ERROR_SUCCESS, profile_.WritePrivateProfileString("Section", "other", "two", newFile));
  EXPECT_EQ(ERROR_SUCCESS, profile_.WritePrivateProfileString("Section", "key", nullptr, newFile));
  EXPECT_EQ("gone", profile_.GetPrivateProfileString("Section", "key", "gone", newFile));
  EXPECT_EQ("two", profile_.GetPrivateProfileString("Section", "other", "", newFile));
  EXPECT_EQ(ERROR_SUCCESS,
            profile_.WritePrivateProfileString("Section", nullptr, nullptr, newFile));
  EXPECT_EQ("", profile_.GetPrivateProfileString(nullptr, nullptr, "", newFile));

  struct Case {
    const char* section;
    const char* key;
    const char* value;
    std::string fileName;
    uint32_t expected;
  };
  const Case cases[] = {
      {nullptr, "key", "value", file_, ERROR_FILE_NOT_FOUND},
      {nullptr, nullptr, "value", file_, ERROR_FILE_NOT_FOUND},
      {nullptr, nullptr, nullptr, file_, ERROR_SUCCESS},  // the flush
      {"Section", "key", "value", "", ERROR_ACCESS_DENIED},
      {"Section", "key", "value", folder_ + "\\missing\\x.ini", ERROR_PATH_NOT_FOUND},
      {"Section", "key", nullptr, folder_ + "\\absent.ini", ERROR_SUCCESS},
      {"", "key", "value", file_, ERROR_INVALID_PARAMETER},
      {"Section", "", "value", file_, ERROR_INVALID_PARAMETER},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.expected, profile_.WritePrivateProfileString(c.section, c.key, c.value, c.fileName))
        << c.fileName;
  EXPECT_EQ("", tarvium::test::ReadFileBytes(folder_ + "\\absent.ini"));  // not made to delete
}

TEST_F(ProfileTest, SectionsComeAsZeroSeparatedLinesAndAreReplacedWhole) {
  EXPECT_EQ(Zeros("Plain=value with blanks\0=no key\0"),
            profile_.GetPrivateProfileSection("Strings", file_));
  const std::string entries = Zeros("first=1\0second=2\0");
  ASSERT_EQ(ERROR_SUCCESS, profile_.WritePrivateProfileSection("Strings", entries, file_));
  EXPECT_EQ(entries, profile_.GetPrivateProfileSection("Strings", file_));
  ASSERT_EQ(ERROR_SUCCESS, profile_.WritePrivateProfileSection("Added", "only=1", file_));
  EXPECT_EQ("1", profile_.GetPrivateProfileString("Added", "only", "", file_));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, profile_.WritePrivateProfileSection(nullptr, entries, file_));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, profile_.WritePrivateProfileSection("", entries, file_));
}

TEST(ProfileWindowsDirectoryTest, WinIniTakesTheSameRules) {
  Win32Profile profile;
  const std::string section = tarvium::test::UniqueTestName("profile");
  const uint32_t dwError = profile.WriteProfileString(section.c_str(), "number", "-17");
  if (dwError == ERROR_ACCESS_DENIED) GTEST_SKIP() << "Win.ini is not writable";
  ASSERT_EQ(ERROR_SUCCESS, dwError);
  EXPECT_EQ("-17", profile.GetProfileString(section.c_str(), "number", ""));
  EXPECT_EQ(-17, profile.GetProfileInt(section.c_str(), "number", 0));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, profile.WriteProfileString(nullptr, "number", "1"));
  EXPECT_EQ(ERROR_SUCCESS, profile.WriteProfileString(section.c_str(), nullptr, nullptr));
  EXPECT_EQ(-1, profile.GetProfileInt(section.c_str(), "number", -1));
}

}  // namespace
}  // namespace platform::win32
