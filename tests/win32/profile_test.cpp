// The profile service against Windows' own INI functions, on files in a fresh temporary folder;
// the Win.ini and Windows-directory cases use a section or file of their own, removed at the end,
// and are skipped when the user may not write there.
#include "platform/win32/win32_profile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win_error.h"
#include "win32/scratch_places.h"

namespace {

using platform::ERROR_ACCESS_DENIED;
using platform::ERROR_FILE_NOT_FOUND;
using platform::ERROR_INVALID_PARAMETER;
using platform::ERROR_PATH_NOT_FOUND;
using platform::ERROR_SUCCESS;
using platform::SplitProfileList;
using platform::win32::Win32Profile;

using Names = std::vector<std::string>;

// A literal with the zero bytes inside it (a list as the profile functions give it).
template <size_t N>
std::string Zeros(const char (&text)[N]) {
  return std::string(text, N - 1);
}

constexpr char kSample[] =
    "[Strings]\r\n"
    "Plain =  value with blanks  \r\n"
    "Quoted=\"  kept inside  \"\r\n"
    "Empty=\r\n"
    "=no key\r\n"
    "bare line\r\n"
    "[Numbers]\n"
    "answer=42\n"
    "negative=-7\n"
    "signed=+5\n"
    "prefix=12abc\n"
    "letters=abc\n"
    "wrapped=4294967297\n";

class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = tarvium::test::CreateScratchFolder();
    ASSERT_FALSE(folder_.empty());
    file_ = folder_ + "\\sample.ini";
    ASSERT_TRUE(tarvium::test::WriteFileBytes(file_, kSample));
  }
  void TearDown() override {
    profile_.WritePrivateProfileString(nullptr, nullptr, nullptr, file_);  // let Windows go of it
    tarvium::test::RemoveScratchFolder(folder_);
  }

  Win32Profile profile_;
  std::string folder_;
  std::string file_;
};

TEST_F(ProfileTest, ValuesComeTrimmedAndUnquotedOrAsTheDefault) {
  struct Case {
    const char* section;
    const char* key;
    const char* defaultValue;
    const char* expected;
  };
  const Case cases[] = {
      {"Strings", "Plain", "x", "value with blanks"},
      {"STRINGS", "plain", "x", "value with blanks"},
      {"Strings", "Quoted", "x", "  kept inside  "},
      {"Strings", "Empty", "x", ""},
      {"Strings", "", "x", "no key"},
      {"Strings", "Missing", "default  ", "default"},
      {"Strings", "Missing", nullptr, ""},
      {"Missing", "Plain", "other", "other"},
      {"Numbers", "answer", "", "42"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.expected, profile_.GetPrivateProfileString(c.section, c.key, c.defaultValue, file_))
        << c.section << "/" << c.key;
}

TEST_F(ProfileTest, NullSectionListsSectionsAndNullKeyListsKeys) {
  EXPECT_EQ((Names{"Strings", "Numbers"}),
            SplitProfileList(profile_.GetPrivateProfileString(nullptr, "x", "d", file_)));
  EXPECT_EQ(Zeros("answer\0negative\0signed\0prefix\0letters\0wrapped\0"),
            profile_.GetPrivateProfileString("Numbers", nullptr, "d", file_));
  // A section without keys gives the default, as a missing key does.
  EXPECT_EQ("d", profile_.GetPrivateProfileString("Missing", nullptr, "d", file_));
}

TEST_F(ProfileTest, NumbersAreTheLeadingDecimalWrappedTo32Bits) {
  struct Case {
    const char* key;
    int32_t expected;
  };
  const Case cases[] = {{"answer", 42}, {"negative", -7}, {"signed", 5},   {"prefix", 12},
                        {"letters", 0}, {"wrapped", 1},   {"missing", -99}};
  for (const Case& c : cases)
    EXPECT_EQ(c.expected, profile_.GetPrivateProfileInt("Numbers", c.key, -99, file_)) << c.key;
  EXPECT_EQ(-99, profile_.GetPrivateProfileInt("Numbers", "answer", -99, folder_ + "\\none.ini"));
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

TEST_F(ProfileTest, WritesCreateFilesAndSectionsAndNullsDelete) {
  const std::string newFile = folder_ + "\\new.ini";
  ASSERT_EQ(ERROR_SUCCESS, profile_.WritePrivateProfileString("Section", "key", "one", newFile));
  ASSERT_EQ(ERROR_SUCCESS, profile_.WritePrivateProfileString("Section", "other", "two", newFile));
  EXPECT_EQ("one", profile_.GetPrivateProfileString("Section", "key", "", newFile));
  EXPECT_EQ(ERROR_SUCCESS, profile_.WritePrivateProfileString("Section", "key", nullptr, newFile));
  EXPECT_EQ("gone", profile_.GetPrivateProfileString("Section", "key", "gone", newFile));
  EXPECT_EQ("two", profile_.GetPrivateProfileString("Section", "other", "", newFile));
  EXPECT_EQ(ERROR_SUCCESS,
            profile_.WritePrivateProfileString("Section", nullptr, nullptr, newFile));
  EXPECT_EQ("", profile_.GetPrivateProfileString(nullptr, nullptr, "", newFile));
}

TEST_F(ProfileTest, WriteErrorsFollowWindows) {
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
  EXPECT_EQ(Zeros("Plain=value with blanks\0Quoted=\"  kept inside  \"\0Empty=\0=no key\0"
                  "bare line\0"),
            profile_.GetPrivateProfileSection("Strings", file_));
  const std::string entries = Zeros("first=1\0second=2\0");
  ASSERT_EQ(ERROR_SUCCESS, profile_.WritePrivateProfileSection("Strings", entries, file_));
  EXPECT_EQ(entries, profile_.GetPrivateProfileSection("Strings", file_));
  EXPECT_EQ("42", profile_.GetPrivateProfileString("Numbers", "answer", "", file_));
  ASSERT_EQ(ERROR_SUCCESS, profile_.WritePrivateProfileSection("Added", "only=1", file_));
  EXPECT_EQ("1", profile_.GetPrivateProfileString("Added", "only", "", file_));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, profile_.WritePrivateProfileSection(nullptr, entries, file_));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, profile_.WritePrivateProfileSection("", entries, file_));
  EXPECT_EQ("", profile_.GetPrivateProfileSection("Missing", file_));
}

TEST_F(ProfileTest, LinesMayEndInLineFeedOrCarriageReturnAlone) {
  const std::string file = folder_ + "\\ends.ini";
  ASSERT_TRUE(tarvium::test::WriteFileBytes(file, "[LF]\nk=lf\n[CR]\rk=cr\r[CRLF]\r\nk=crlf\r\n"));
  EXPECT_EQ("lf", profile_.GetPrivateProfileString("LF", "k", "", file));
  EXPECT_EQ("cr", profile_.GetPrivateProfileString("CR", "k", "", file));
  EXPECT_EQ("crlf", profile_.GetPrivateProfileString("CRLF", "k", "", file));
}

TEST_F(ProfileTest, Utf16FilesAreReadAndWrittenInTheirEncoding) {
  const std::string file = folder_ + "\\wide.ini";
  std::string bytes = "\xFF\xFE";
  for (char c : std::string("[Wide]\r\nkey=value\r\n")) bytes += {c, '\0'};
  ASSERT_TRUE(tarvium::test::WriteFileBytes(file, bytes));
  EXPECT_EQ("value", profile_.GetPrivateProfileString("Wide", "key", "", file));
  ASSERT_EQ(ERROR_SUCCESS, profile_.WritePrivateProfileString("Wide", "added", "more", file));
  profile_.WritePrivateProfileString(nullptr, nullptr, nullptr, file);
  const std::string written = tarvium::test::ReadFileBytes(file);
  EXPECT_EQ("\xFF\xFE", written.substr(0, 2));
  EXPECT_NE(std::string::npos, written.find(Zeros("m\0o\0r\0e\0")));
}

TEST(ProfileWindowsDirectoryTest, WinIniAndBareFileNamesLieInTheWindowsDirectory) {
  Win32Profile profile;
  const std::string section = tarvium::test::UniqueTestName("profile");
  const uint32_t dwError = profile.WriteProfileString(section.c_str(), "number", "17");
  if (dwError == ERROR_ACCESS_DENIED) GTEST_SKIP() << "Win.ini is not writable";
  ASSERT_EQ(ERROR_SUCCESS, dwError);
  const std::string winIni = tarvium::test::WindowsDirectory() + "\\win.ini";
  EXPECT_EQ("17", profile.GetProfileString(section.c_str(), "number", ""));
  EXPECT_EQ(17, profile.GetProfileInt(section.c_str(), "number", 0));
  EXPECT_EQ("17", profile.GetPrivateProfileString(section.c_str(), "number", "", winIni));
  EXPECT_EQ(ERROR_SUCCESS, profile.WriteProfileString(section.c_str(), nullptr, nullptr));
  EXPECT_EQ(-1, profile.GetProfileInt(section.c_str(), "number", -1));

  const std::string bareName = section + ".ini";
  ASSERT_EQ(ERROR_SUCCESS, profile.WritePrivateProfileString("S", "k", "bare", bareName));
  profile.WritePrivateProfileString(nullptr, nullptr, nullptr, bareName);
  const std::string fullPath = tarvium::test::WindowsDirectory() + "\\" + bareName;
  EXPECT_NE("", tarvium::test::ReadFileBytes(fullPath));
  tarvium::test::DeleteTestFile(fullPath);
}

}  // namespace
