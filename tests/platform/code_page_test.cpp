#include "platform/code_page.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(CodePage, ConvertsWindows1252BothWaysAndReplacesWhatItCannotHold) {
  // "Größe €" in UTF-8; the euro sign is 0x80 in Windows-1252.
  EXPECT_EQ(Utf8ToAnsi("Gr\xC3\xB6\xC3\x9F"
                       "e \xE2\x82\xAC"),
            "Gr\xF6\xDF"
            "e \x80");
  EXPECT_EQ(AnsiToUtf8("Gr\xF6\xDF"
                       "e \x80"),
            "Gr\xC3\xB6\xC3\x9F"
            "e \xE2\x82\xAC");
  // A CJK character, an emoji (a surrogate pair in UTF-16) and a broken sequence become '?'.
  EXPECT_EQ(Utf8ToAnsi("a\xE4\xB8\xAD"
                       "b\xF0\x9F\x98\x80"
                       "c\xC3"),
            "a?b?c?");
  EXPECT_EQ(Utf16ToAnsi(u"x\U0001F600y"), "x?y");
  // UTF-16 stops at its first zero character.
  EXPECT_EQ(Utf16ToAnsi(std::u16string(u"ab\0cd", 5)), "ab");
  // Every byte survives ANSI -> UTF-8 -> ANSI.
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);
}

}  // namespace
}  // namespace platform
