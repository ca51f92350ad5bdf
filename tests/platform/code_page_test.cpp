#include "platform/code_page.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

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
}  // namespace platform
