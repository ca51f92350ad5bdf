// The stored-name rule, the checks that keep every entry inside the destination, and the filter.
#include "archive/zip_names.h"

#include <gtest/gtest.h>

namespace tarvium {
namespace {

TEST(ZipNames, StoredNamesThatClimbOutLandInsideTheDestinationOrAreRefused) {
  struct Case {
    const char* pszStored;
    const char* pszDisk;  // null: refused
  };
  const Case cases[] = {
      {"..\\..\\evil.txt", "evil.txt"},
      {"C:\\evil.txt", "evil.txt"},
      {"a/../../b.txt", "b.txt"},
      {"/etc/passwd", "etc\\passwd"},
      {"\\\\server\\share\\x", "server\\share\\x"},
      {"c:evil.txt", "evil.txt"},
      {"x/..\\y/../z.txt", "z.txt"},
      {"dir/sub/f.txt", "dir\\sub\\f.txt"},
      {"../evil.txt", nullptr},
      {"..", nullptr},
      {"x/..", nullptr},
      {"a/b:stream", nullptr},
      {"dir\\C:\\evil.txt", nullptr},
      {"C:", nullptr},
      {"..a/b..", "..a\\b.."},  // dots inside names are names, not parents
  };
  for (const Case& c : cases) {
    std::string disk;
    const bool bTaken = DestinationNameOf(c.pszStored, false, disk);
    EXPECT_EQ(bTaken, c.pszDisk != nullptr) << c.pszStored << " -> " << disk;
    if (c.pszDisk) {
      EXPECT_EQ(disk, c.pszDisk) << c.pszStored;
    }
  }
}

TEST(ZipNames, OemNamesAndFiltersWithoutRegardToCase) {
  std::string disk;
  ASSERT_TRUE(DestinationNameOf("Gr\x81\xE1\x65/\x8E.txt", false, disk));  // Grüße/Ä.txt, OEM
  EXPECT_EQ(disk, "Gr\xFC\xDF\x65\\\xC4.txt");
  EXPECT_EQ(StoredNameOf(disk), "Gr\x81\xE1\x65/\x8E.txt");
  ASSERT_TRUE(DestinationNameOf("\xC3\x84.txt", true, disk));  // Ä.txt with the UTF-8 flag
  EXPECT_EQ(disk, "\xC4.txt");

  EXPECT_TRUE(MatchesFilter("anything\\at all", ""));
  EXPECT_TRUE(MatchesFilter("LIB\\Tools.DLL", "*.dll"));
  EXPECT_FALSE(MatchesFilter("tools.dll.bak", "*.dll"));
  EXPECT_TRUE(MatchesFilter("a.dll", "?.DLL"));
  EXPECT_FALSE(MatchesFilter("ab.dll", "?.dll"));
  EXPECT_TRUE(MatchesFilter("\xC4rger.txt", "\xE4*"));  // Ä and ä
  EXPECT_TRUE(MatchesFilter("abcabcabd", "*abc*abd"));
  EXPECT_TRUE(MatchesFilter("x", "**x**"));
  EXPECT_FALSE(MatchesFilter("", "?"));
}

}  // namespace
}  // namespace tarvium
