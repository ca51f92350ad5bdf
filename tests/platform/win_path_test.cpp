// Windows paths as the emulated machine parses them, the enumeration patterns as FindFirstFile
// matches them, and the conversions between the code pages: pure functions, tested without a
// machine.
#include <gtest/gtest.h>

#include <tuple>

#include "platform/code_page.h"
#include "platform/emulated/files/wildcard.h"
#include "platform/emulated/files/win_path.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

TEST(WindowsPath, NormalisesLikeWindowsAndRefusesWhatWindowsRefuses) {
  CurrentDirectories dirs;
  dirs.current.cDrive = 'C';
  dirs.current.parts = {"Work"};
  dirs.driveParts['D' - 'A'] = {"Media"};
  const std::pair<const char*, const char*> cases[] = {
      {R"(C:\a\..\..\..\b)", R"(C:\b)"},  // never above the root
      {"c:/a//b/./c", R"(C:\a\b\c)"},
      {R"(C:\dir. \file.txt..)", R"(C:\dir\file.txt)"},  // trailing dots and blanks go
      {R"(sub\x)", R"(C:\Work\sub\x)"},
      {R"(\x)", R"(C:\x)"},
      {"D:setup.inf", R"(D:\Media\setup.inf)"},
      {"C:", R"(C:\Work)"},
      {R"(\\?\C:\x)", R"(C:\x)"},
      {R"(\??\UNC\srv\share\x)", R"(\\srv\share\x)"},
      {R"(//srv/share/../../x)", R"(\\srv\share\x)"},
  };
  for (const auto& [text, expected] : cases) {
    WinPath path;
    ASSERT_EQ(ParseWindowsPath(text, dirs, path), ERROR_SUCCESS) << text;
    EXPECT_EQ(FormatWindowsPath(path), expected) << text;
  }
  const std::pair<std::string, uint32_t> errors[] = {
      {"", ERROR_PATH_NOT_FOUND},
      {R"(C:\a<b)", ERROR_INVALID_NAME},
      {R"(C:\a:stream)", ERROR_INVALID_NAME},
      {R"(C:\*.txt)", ERROR_INVALID_NAME},  // wildcards only where enumeration allows them
      {R"(\\server)", ERROR_BAD_PATHNAME},
      {R"(\\.\pipe\name)", ERROR_INVALID_NAME},
      {"C:\\" + std::string(256, 'a'), ERROR_FILENAME_EXCED_RANGE},
  };
  for (const auto& [text, err] : errors) {
    WinPath path;
    EXPECT_EQ(ParseWindowsPath(text, dirs, path), err) << text;
  }
  WinPath pattern;
  EXPECT_EQ(ParseWindowsPath(R"(C:\*\x?)", dirs, pattern, true), ERROR_INVALID_NAME);
  ASSERT_EQ(ParseWindowsPath(R"(C:\dir\*.)", dirs, pattern, true), ERROR_SUCCESS);
  EXPECT_EQ(pattern.parts.back(), "*.");  // a pattern keeps its dot
  EXPECT_EQ(NtPathOf(pattern), R"(\??\C:\dir\*.)");
  ASSERT_EQ(ParseWindowsPath(R"(\\srv\share\a)", dirs, pattern), ERROR_SUCCESS);
  EXPECT_EQ(NtPathOf(pattern), R"(\??\UNC\srv\share\a)");
}

// The quick key of a plain drive path must agree with the parser, and must refuse every text the
// parser would change or refuse, so that the resolver's short cut never finds another file.
TEST(WindowsPath, PlainDrivePathKeyAgreesWithTheParser) {
  const CurrentDirectories dirs;
  for (const char* text : {R"(c:\Program Files\App\a.dll)", R"(Z:\x)", "C:\\\xe9t\xe9\\x.txt"}) {
    std::string key;
    size_t nNames = 0;
    WinPath path;
    ASSERT_TRUE(KeyOfPlainDrivePath(text, key, nNames)) << text;
    ASSERT_EQ(ParseWindowsPath(text, dirs, path), ERROR_SUCCESS) << text;
    EXPECT_EQ(key, FoldedPathKey(path)) << text;
    EXPECT_EQ(nNames, path.parts.size()) << text;
  }
  const std::string refused[] = {
      R"(C:\)",       R"(C:\dir\)", R"(C:\a\\b)", R"(C:\a\.\b)", R"(C:\a\..\b)",
      R"(C:\dir.\x)", R"(C:\x )",   "C:/a",       R"(C:a\b)",    R"(\\srv\share\x)",
      R"(\\?\C:\x)",  R"(C:\a:b)",  R"(C:\a*)",   "C:\\a\x01",   "C:\\" + std::string(256, 'a'),
  };
  for (const std::string& text : refused) {
    std::string key;
    size_t nNames = 0;
    EXPECT_FALSE(KeyOfPlainDrivePath(text, key, nNames)) << text;
  }
  // Remembering folders changes nothing: names after a known folder are checked as well.
  PlainPathKeys keys;
  for (const char* text : {R"(C:\App\Sub\a.dll)", R"(Z:\Media\a.dll)", R"(c:\app\sub\B.dll)",
                           R"(C:\App\Sub\b.dll)", R"(C:\App\Sub\c.)", R"(C:\App\Sub\d*)",
                           R"(Z:\Media\Sub\e)", R"(Z:\Media\x\)", R"(C:\App\Sub\\x)"}) {
    std::string key, expectedKey;
    size_t nNames = 0, nExpectedNames = 0;
    const bool bPlain = KeyOfPlainDrivePath(text, expectedKey, nExpectedNames);
    EXPECT_EQ(keys.Make(text, key, nNames), bPlain) << text;
    if (bPlain) {
      EXPECT_EQ(key, expectedKey) << text;
      EXPECT_EQ(nNames, nExpectedNames) << text;
      EXPECT_EQ(keys.LastNameStart(), std::string_view(text).rfind('\\') + 1) << text;
    }
  }
}

// "*.*", "*.", "*.txt" and "a?c*" over names with and without dots are rows of the enumeration
// tables of file_system_test.cpp, which list through this matcher.
TEST(Wildcard, MatchesAsFindFirstFileDoes) {
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"*.txt", "a.txt.bak", false},
      {"*.txt", "a.b.txt", true},
      {"a?c*", "ac", false},
      {"a?", "a", true},
      {"a?", "abc", false},
      {"a??.txt", "a.txt", true},
      {"\xE9t\xE9", "\xC9T\xC9", true},
      {"x*y*z", "x.y.z", true},
      {"x*y*z", "xyzy", false},
      // A plain name loses its trailing blanks too; "." and ".." are listed alike. The folder
      // table of file_system_test.cpp has the rest of the trailing blanks and dots.
      {"a.txt ", "a.txt", true},
      {"??", "..", true},
      {"??", ".", true},
  };
  for (const auto& [pattern, name, bMatch] : cases)
    EXPECT_EQ(MatchesWildcard(pattern, name), bMatch) << pattern << " vs " << name;
}

TEST(CodePage, AnsiAndOemConversionsReplaceWhatTheyCannotHold) {
  // "Größe €" in UTF-8; the euro sign is 0x80 in Windows-1252.
  EXPECT_EQ(Utf8ToAnsi("Gr\xC3\xB6\xC3\x9F\x65 \xE2\x82\xAC"), "Gr\xF6\xDF\x65 \x80");
  EXPECT_EQ(AnsiToUtf8("Gr\xF6\xDF\x65 \x80"), "Gr\xC3\xB6\xC3\x9F\x65 \xE2\x82\xAC");
  // A CJK character, an emoji (a surrogate pair in UTF-16) and a broken sequence become '?'.
  EXPECT_EQ(Utf8ToAnsi("a\xE4\xB8\xAD\x62\xF0\x9F\x98\x80\x63\xC3"), "a?b?c?");
  EXPECT_EQ(Utf16ToAnsi(u"x\U0001F600y"), "x?y");
  // UTF-16 stops at its first zero character.
  EXPECT_EQ(Utf16ToAnsi(std::u16string(u"ab\0cd", 5)), "ab");
  // Every byte survives ANSI -> UTF-8 -> ANSI.
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);

  const std::string ansi =
      "Gr\xFC\xDF\x65 \xC4rger \xE9t\xE9 \xD1o\xF1o \xA3";  // Grüße Ärger été Ñoño £
  const std::string oem = AnsiToOem(ansi);
  EXPECT_EQ(oem, "Gr\x81\xE1\x65 \x8Erger \x82t\x82 \xA5o\xA4o \x9C");
  EXPECT_EQ(OemToAnsi(oem), ansi);
  EXPECT_EQ(AnsiToOem("\x80 \x99"), "? ?");     // euro and trade mark sign have no OEM byte
  EXPECT_EQ(OemToAnsi("\xB3\xC4\xDB"), "???");  // box drawing has no ANSI byte
  EXPECT_EQ(AnsiToOem("dir/a b.txt"), "dir/a b.txt");
}

}  // namespace
}  // namespace platform::emulated
