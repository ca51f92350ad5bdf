// The catalog and its definition language: every entry of the three catalogs, the parser's
// edge cases, the formatter and the service request and reply.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "script/message_catalog.h"
#include "script/message_format.h"
#include "script/message_spec.h"
#include "script/service_message.h"

namespace tarvium {
namespace {

constexpr CatalogLanguage kLanguages[] = {CatalogLanguage::English, CatalogLanguage::German,
                                          CatalogLanguage::French};

bool IsMissingNumber(int n) {
  return n == 5522 || n == 5542 || n == 5568;
}

std::vector<std::string> Placeholders(const std::string& text) {
  static const std::regex placeholder("%(ld|s|S|u|d)");
  std::vector<std::string> found;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), placeholder);
       it != std::sregex_iterator(); ++it)
    found.push_back(it->str());
  return found;
}

MessageSpec Parsed(CatalogLanguage language, int n) {
  MessageSpec messageSpec;
  EXPECT_TRUE(ParseMessageSpec(*CatalogEntry(language, n), messageSpec)) << n;
  return messageSpec;
}

std::string ButtonShape(const MessageSpec& messageSpec) {
  std::string shape;
  for (const SpecButton& button : messageSpec.buttons)
    shape += std::to_string(button.nResult) + (button.bDefault ? "! " : " ");
  return shape;
}

TEST(MessageCatalog, EveryLanguageHasEveryEntryWithTheEnglishShapeAndTheFileFormat) {
  for (CatalogLanguage language : kLanguages) {
    for (int n = 5000; n <= 5574; ++n) {
      const bool bExpected = (n <= 5039 || n >= 5500) && !IsMissingNumber(n);
      const auto entry = CatalogEntry(language, n);
      ASSERT_EQ(entry.has_value(), bExpected) << n;
      if (!bExpected) continue;
      const std::string english(*CatalogEntry(CatalogLanguage::English, n));
      EXPECT_FALSE(entry->empty()) << n;
      EXPECT_EQ(Placeholders(std::string(*entry)), Placeholders(english)) << n;
      if (n < 5500) continue;
      const MessageSpec messageSpec = Parsed(language, n);
      const MessageSpec englishSpec = Parsed(CatalogLanguage::English, n);
      EXPECT_EQ(messageSpec.icon, englishSpec.icon) << n;
      EXPECT_FALSE(messageSpec.textTemplate.empty()) << n;
      const bool bException = language == CatalogLanguage::German && (n == 5519 || n == 5541);
      if (!bException) {
        EXPECT_EQ(ButtonShape(messageSpec), ButtonShape(englishSpec)) << n;
      }
      for (const SpecButton& button : messageSpec.buttons) EXPECT_EQ(button.label[0], '&') << n;
    }
  }
  EXPECT_EQ(ButtonShape(Parsed(CatalogLanguage::German, 5519)), "5! 2 9 ");
  EXPECT_EQ(ButtonShape(Parsed(CatalogLanguage::German, 5541)), "2 9 ");
  EXPECT_EQ(Parsed(CatalogLanguage::German, 5509).buttons[1].label, "&Nein");
  EXPECT_EQ(Parsed(CatalogLanguage::French, 5514).buttons[1].label, "&Annuler");
  // Texts leave the catalog in the ANSI code page; a locale without a catalog reads English.
  EXPECT_EQ(CatalogText(0x0407, 5010), "L\xF6schen:");
  EXPECT_EQ(CatalogText(0x040C, 5023), "Latin-1 (\xC9tats-Unis, Europe de l'Ouest)");
  EXPECT_EQ(CatalogText(0x040A, 5000), "Setup");
  EXPECT_EQ(CatalogText(0x0407, 5522), "");

  // The file format: numbered lines with a tab, escapes, comments and bad lines passed over.
  const auto entries =
      ParseCatalogText("# comment\n\n5000\tA\\nB\\\\n\\t\r\nx\tbad\n12 no tab\n5001\t\n-3\tneg");
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries.at(5000), "A\nB\\n\\t");
  EXPECT_EQ(entries.at(5001), "");
  EXPECT_EQ(entries.at(-3), "neg");
}

TEST(MessageSpecParser, AnyDelimitersMarksAndBrokenEntries) {
  MessageSpec messageSpec;
  ASSERT_TRUE(ParseMessageSpec("<?><a [b] c><A=5|B=-1!|C|&D=7!>", messageSpec));
  EXPECT_EQ(messageSpec.icon, ui::IconKind::Question);
  EXPECT_EQ(messageSpec.textTemplate, "a [b] c");
  EXPECT_EQ(ButtonShape(messageSpec), "5 -1! 7! ");  // "C" has no result and is left out
  EXPECT_EQ(DefaultResult(messageSpec), -1);         // the first mark counts

  // The result is read from the '=' up to the '!': blanks and a sign before the digits are
  // allowed; an entry without digits there is no button.
  ASSERT_TRUE(ParseMessageSpec("[?][t][&Yes=6|&No= 7!|&OK=+2|&X=-|&Y= |&Z=3 !]", messageSpec));
  EXPECT_EQ(ButtonShape(messageSpec), "6 7! 2 3! ");
  EXPECT_EQ(DefaultResult(messageSpec), 7);
  ASSERT_TRUE(ParseMessageSpec("[?][t][&OK=+2|&No=7]", messageSpec));
  EXPECT_EQ(DefaultResult(messageSpec), 2);

  EXPECT_FALSE(ParseMessageSpec("", messageSpec));
  ASSERT_TRUE(ParseMessageSpec("[x][no buttons]", messageSpec));
  EXPECT_EQ(messageSpec.icon, ui::IconKind::Information);
  EXPECT_EQ(messageSpec.textTemplate, "no buttons");
  EXPECT_EQ(DefaultResult(messageSpec), 2);
  ASSERT_TRUE(ParseMessageSpec("[s][unclosed", messageSpec));
  EXPECT_EQ(messageSpec.textTemplate, "unclosed");
  ASSERT_TRUE(ParseMessageSpec("[", messageSpec));
  EXPECT_TRUE(messageSpec.textTemplate.empty() && messageSpec.buttons.empty());
  ASSERT_TRUE(ParseMessageSpec(
      "[i][" + std::string(600, 'x') + "][" + std::string(300, 'L') + "=2]", messageSpec));
  EXPECT_EQ(messageSpec.textTemplate.size(), kMessageTemplateMax);
  EXPECT_EQ(messageSpec.buttons[0].label.size(), kButtonLabelMax);
}

TEST(MessageFormat, ConversionsFlagsWidthsPrecisionsAndLengthsOverAnyArguments) {
  const std::vector<MessageArg> args = {std::string("a"), int64_t{-1}, int64_t{-1},
                                        int64_t{0x100000005}, std::string("t")};
  EXPECT_EQ(FormatMessageText("%s %ld %u %d %S 100%% %x", args), "a -1 4294967295 5 t 100% ");
  EXPECT_EQ(FormatMessageText("%s=%d;", {int64_t{42}}), "42=;");  // a missing argument: nothing
  EXPECT_EQ(FormatMessageText("%", {}), "%");
  EXPECT_EQ(FormatMessageText("%s%s", {std::string(2000, 'x'), std::string(100, 'y')}).size(),
            kMessageTextMax);

  // Flags, widths, precisions and lengths take their place in the placeholder, so that every later
  // argument still lands in its own placeholder.
  const auto n = [](int64_t nValue) { return MessageArg(nValue); };
  const auto t = [](const char* text) { return MessageArg(std::string(text)); };
  const struct {
    const char* textTemplate;
    std::vector<MessageArg> args;
    const char* expected;
  } cases[] = {
      {"[%5d|%-5d|%05d|%+d|% d]",
       {n(42), n(42), n(42), n(42), n(42)},
       "[   42|42   |00042|+42| 42]"},
      {"[%-3s|%3s|%.2s|%-6.3s]", {t("a"), t("abcd"), t("abcd"), t("abcd")}, "[a  |abcd|ab|abc   ]"},
      {"%x %X %#x %o %lu %08.3f",
       {n(255), n(255), n(255), n(8), n(-1), n(1)},
       "ff FF 0xff 10 4294967295 %08.3f"},
      {"%hd %hu %hhd %lld %I64u %I32d",
       {n(65535), n(-1), n(200), n(-5000000000), n(-1), n(-1)},
       "-1 65535 -56 -5000000000 18446744073709551615 -1"},
      {"%.3d %.0d| %i %c%c", {n(7), n(0), n(-3), n('O'), t("Kz")}, "007 | -3 OK"},
      {"[%*d|%-*s|%.*s]", {n(4), n(1), n(-3), t("x"), n(2), t("abc")}, "[   1|x  |ab]"},
      {"%5s=%d", {n(12), t("text")}, "   12=text"},  // any argument in any conversion
      {"%5%|%ld|%lx", {n(1)}, "%|1|"},
      {"%0", {n(1)}, "%0"},  // no conversion: copied as written
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatMessageText(c.textTemplate, c.args), c.expected) << c.textTemplate;
  EXPECT_EQ(FormatMessageText("%999999999d|%.99999999s", {n(1), t("x")}).size(), kMessageTextMax);
}

TEST(ServiceMessage, RequestFieldsAndReplyWords) {
  const std::string fileOlder(*CatalogEntry(CatalogLanguage::English, 5506));
  MessageSpec messageSpec;
  ASSERT_TRUE(ParseMessageSpec(fileOlder, messageSpec));
  EXPECT_EQ(BuildServiceRequest(5506, messageSpec.textTemplate,
                                {std::string("a"), std::string("b"), std::string("c")}),
            "error;ERR_FILEOLDER;a;b;c");
  EXPECT_EQ(BuildServiceRequest(5508, "Cannot execute '%s'.\nError %u! 50%", {"x", int64_t{-2}}),
            "error;ERR_WINEXEC;x;4294967294");
  EXPECT_EQ(BuildServiceRequest(5500, "no placeholders", {}), "error;ERR_NOMEMORY");
  for (int n : {5522, 5573, 5574, 5499, 6000}) EXPECT_EQ(BuildServiceRequest(n, "%s", {}), "") << n;

  const std::tuple<bool, const char*, int> replies[] = {
      {true, "1;yes", 2},    {true, "0;YES", 6},  {true, "0;No;more", 7},
      {true, "0;Ignore", 5}, {true, "0;none", 1}, {true, "0;perhaps", 2},
      {true, "0", 2},        {true, "x;yes", 2},  {false, "0;yes", 2}};
  for (const auto& [bExchanged, pszReply, nExpected] : replies)
    EXPECT_EQ(ParseServiceReply(bExchanged, pszReply), nExpected) << pszReply << bExchanged;
}

}  // namespace
}  // namespace tarvium
