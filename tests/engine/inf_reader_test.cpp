// The reader of setup information files: sections, lines, keys, cursors and encodings, on texts
// built in the test and on real files loaded through the emulated machine.
// Comma fields with quoting and flag lists.
#include "engine/inf_reader.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/inf_fields.h"
#include "engine/inf_file.h"
#include "engine/setup_run.h"
#include "support/test_machine.h"

namespace tarvium {
namespace {

InfFile MainText(std::string_view text) {
  InfFile inf(std::vector<char>(text.begin(), text.end()));
  inf.BuildSectionIndex();
  return inf;
}

InfFile OtherText(std::string_view text) {
  return InfFile(std::vector<char>(text.begin(), text.end()));
}

std::vector<std::string> Lines(const InfFile& inf, std::string_view section, bool bContinuation,
                               bool bUninstall = false, size_t nSize = 1025) {
  InfSection cursor;
  OpenSection(cursor, FindSection(inf, section), false, bContinuation, bUninstall);
  std::vector<std::string> lines;
  std::string line;
  while (NextLine(cursor, line, nSize)) lines.push_back(line);
  return lines;
}

std::string Value(const InfFile& inf, std::string_view section, std::string_view key) {
  std::string value;
  return GetValue(inf, section, key, value, 256) ? value : "<absent>";
}

TEST(InfReader, SectionHeadersFirstWinsAndOnlyAtLineStartInTheMainFile) {
  const InfFile inf = MainText(
      "[Files] ; the files\r\nA=1\r\n  [Indented]\r\nB=2\r\n[FILES]\r\nA=second\r\n"
      "[Set]x]\r\nC=3\r\n[Last]");
  EXPECT_EQ(Value(inf, "files", "A"), "1");
  EXPECT_EQ(Value(inf, "Files", "B"), "<absent>") << "an indented header ends the section";
  EXPECT_EQ(FindSection(inf, "Indented"), nullptr);
  EXPECT_EQ(Value(inf, "Set]x", "C"), "3");
  ASSERT_NE(FindSection(inf, "last"), nullptr);
  EXPECT_TRUE(Lines(inf, "Last", true).empty());
  EXPECT_EQ(FindSection(inf, "Missing"), nullptr);
  EXPECT_EQ(inf.SectionIndex().size(), 5u) << "four headers at line starts and the end mark";

  // Other texts are searched: "[name]" anywhere counts, indented or not.
  const InfFile licence = OtherText("text [Terms] more\nfirst line\n");
  EXPECT_EQ(Lines(licence, "TERMS", false), std::vector<std::string>{"first line"});
  EXPECT_EQ(Value(OtherText("x\n  [Indented]\nB=2\n"), "Indented", "B"), "2");
}

TEST(InfReader, LineEndsBlanksCommentsContinuationAndCutting) {
  // CR LF keeps empty lines; bare LF passes over them; a lone CR loses the rest of its line.
  EXPECT_EQ(Lines(MainText("[S]\r\na\r\n\r\n  b  \r\n"), "S", false),
            (std::vector<std::string>{"a", "", "b  "}));
  EXPECT_EQ(Lines(MainText("[S]\na\n\n\n\tb\n"), "S", false), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(Lines(MainText("[S]\nkeep\rlost\nnext\n"), "S", false),
            (std::vector<std::string>{"keep", "next"}));
  // Comments read as empty lines unless kept.
  EXPECT_EQ(Lines(MainText("[S]\r\n; note\r\nx ; not a comment\r\n"), "S", false),
            (std::vector<std::string>{"", "x ; not a comment"}));
  InfSection kept;
  std::string line;
  const InfFile commented = MainText("[S]\n  ; note\n");
  OpenSection(kept, FindSection(commented, "S"), true, false, false);
  ASSERT_TRUE(NextLine(kept, line, 256));
  EXPECT_EQ(line, "; note");

  // Continuation joins lines and skips the break and the blanks after it, empty lines included.
  const InfFile continued = MainText("[S]\r\nA, \\\r\n\r\n    B\r\nC\r\n[T]\r\nK=v \\\r\n");
  EXPECT_EQ(Lines(continued, "S", true), (std::vector<std::string>{"A, B", "C"}));
  EXPECT_EQ(Lines(continued, "S", false), (std::vector<std::string>{"A, \\", "", "B", "C"}));
  EXPECT_EQ(Value(continued, "T", "K"), "v \\") << "values never continue";

  // Lines are cut at the caller's size without notice.
  EXPECT_EQ(Lines(MainText("[S]\nabcdefgh\nxy\n"), "S", false, false, 5),
            (std::vector<std::string>{"abcd", "xy"}));
  EXPECT_EQ(ReadLine(nullptr, &line, 10, false, false), nullptr);
}

TEST(InfReader, KeysValuesAndTheFirstMatch) {
  const std::string longKey(260, 'k');
  const InfFile inf = MainText(
      "[App]\r\n  Name  =  Value  \r\nEmpty=\r\nnot a key\r\n; Hidden=1\r\nname=second\r\n"
      "Path = a=b\r\n" +
      longKey + "=far\r\nMode=  Fast  \r\nMode=Slow\r\n");
  EXPECT_EQ(Value(inf, "app", "NAME"), "Value");
  EXPECT_EQ(Value(inf, "App", "Empty"), "") << "an empty value counts as found";
  EXPECT_EQ(Value(inf, "App", "Hidden"), "<absent>");
  EXPECT_EQ(Value(inf, "App", "not a key"), "<absent>");
  EXPECT_EQ(Value(inf, "App", "Path"), "a=b");
  EXPECT_EQ(Value(inf, "App", longKey), "<absent>") << "'=' beyond the first 255 characters";

  const char* value = FindKey(inf, "App", "name");
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(std::string_view(value, 9), "  Value  ");
  const char* line = FindKeyLine(inf, "App", "Name");
  std::string text;
  ReadLine(line, &text, 256, false, false);
  EXPECT_EQ(text, "Name  =  Value  ");

  // Key and value matching: leading blanks of the line's value removed, trailing kept.
  EXPECT_EQ(FindKeyValue(inf, "App", "mode", "slow"), FindKeyValue(inf, "App", "Mode", "Slow"));
  EXPECT_NE(FindKeyValue(inf, "App", "Mode", "Slow"), nullptr);
  EXPECT_EQ(FindKeyValue(inf, "App", "Mode", "Fast"), nullptr);
  EXPECT_NE(FindKeyValue(inf, "App", "Mode", "Fast  "), nullptr);

  std::string cut;
  EXPECT_TRUE(GetValue(inf, "App", "Path", cut, 4));
  EXPECT_EQ(cut, "a=") << "cut first (' a='), trimmed after";
  EXPECT_FALSE(GetValue(inf, "Nowhere", "Path", cut, 256));
  EXPECT_EQ(cut, "");
}

TEST(InfReader, CursorWalksBackwardsInAnUninstallWithLineNumbersFromTheTop) {
  const InfFile inf = MainText("[S]\r\none\r\n\r\nthree, \\\r\n  four\r\n[Empty]\r\n[T]\r\n");
  for (bool bUninstall : {false, true}) {
    InfSection cursor;
    OpenSection(cursor, FindSection(inf, "S"), false, true, bUninstall);
    ASSERT_EQ(cursor.LineCount(), 3);
    std::vector<std::pair<int32_t, std::string>> seen;
    std::string line;
    while (NextLine(cursor, line, 256)) seen.emplace_back(cursor.CurrentLineNumber(), line);
    std::vector<std::pair<int32_t, std::string>> expected = {
        {1, "one"}, {2, ""}, {3, "three, four"}};
    if (bUninstall) std::reverse(expected.begin(), expected.end());
    EXPECT_EQ(seen, expected) << "uninstall " << bUninstall;
  }
  InfSection empty;
  OpenSection(empty, FindSection(inf, "Empty"), false, true, true);
  std::string line;
  EXPECT_EQ(empty.LineCount(), 0);
  EXPECT_FALSE(NextLine(empty, line, 256));
}

// A section opened again (the size computation, then the installation) reuses the line starts
// kept in the file: they must be those of the continuation form asked for, not of the first.
TEST(InfReader, KeptLineStartsFollowTheContinuationFormOfEachOpening) {
  const InfFile inf = MainText("[S]\r\n;note\r\na, \\\r\n  b\r\n\r\nc\r\n[T]\r\nt\r\n");
  const auto read = [&inf](bool bKept, bool bKeepComments, bool bContinuation, bool bUninstall) {
    InfSection cursor;
    if (bKept)
      OpenSection(cursor, inf, FindSection(inf, "S"), bKeepComments, bContinuation, bUninstall);
    else
      OpenSection(cursor, FindSection(inf, "S"), bKeepComments, bContinuation, bUninstall);
    std::vector<std::string> lines;
    std::string line;
    while (NextLine(cursor, line, 256)) lines.push_back(line);
    return lines;
  };
  for (int nRound = 0; nRound < 2; ++nRound)
    for (bool bContinuation : {true, false})
      for (bool bKeepComments : {false, true})
        for (bool bUninstall : {false, true})
          EXPECT_EQ(read(true, bKeepComments, bContinuation, bUninstall),
                    read(false, bKeepComments, bContinuation, bUninstall))
              << nRound << bContinuation << bKeepComments << bUninstall;
  EXPECT_EQ(read(true, false, true, false), (std::vector<std::string>{"", "a, b", "", "c"}));
  EXPECT_EQ(read(true, false, false, false).size(), 5u);
}

TEST(InfReader, LoadsAnsiUtf8AndUtf16FilesAndReportsFailures) {
  test::TestMachine machine;
  SetupRun run(machine.Machine());
  const std::string ansi =
      "[App]\r\nName=Gr\xF6\xDF"
      "e \x80\r\n";
  const std::string raw =
      "[App]\r\nName=Gr\xC3\xB6\xC3\x9F"
      "e\r\n";
  std::string utf16 = "\xFF\xFE";
  for (char16_t c : std::u16string(u"[App]\r\nName=Gr\u00F6\u00DFe \u20AC\r\n\0ignored", 28)) {
    utf16 += static_cast<char>(c & 0xFF);
    utf16 += static_cast<char>(c >> 8);
  }
  // Without a mark a file is ANSI, also as UTF-8 bytes; zero- and one-byte files are taken as
  // they are, and a lone mark byte is no mark.
  const struct {
    const char* name;
    std::string bytes;
    TextEncoding encoding;
    std::string text;
  } cases[] = {
      {"ansi.inf", ansi, TextEncoding::Ansi, ansi},
      {"utf8.inf",
       "\xEF\xBB\xBF[App]\r\nName=Gr\xC3\xB6\xC3\x9F"
       "e \xE2\x82\xAC\r\n",
       TextEncoding::Utf8, ansi},
      {"raw.inf", raw, TextEncoding::Ansi, raw},
      {"utf16.inf", utf16, TextEncoding::Utf16Le, ansi},
      {"empty.inf", "", TextEncoding::Ansi, ""},
      {"one.inf", "\xFF", TextEncoding::Ansi, "\xFF"},
      {"mark.inf", "\xFF\xFE", TextEncoding::Utf16Le, ""},
  };
  TextEncoding encoding;
  for (const auto& c : cases) {
    ASSERT_EQ(machine.Machine().Files().WriteWholeFile(std::string("C:\\") + c.name, c.bytes), 0u);
    const auto file = LoadTextFile(run, std::string("c:\\") + c.name, encoding);
    ASSERT_TRUE(file) << c.name;
    EXPECT_EQ(encoding, c.encoding) << c.name;
    EXPECT_EQ(file->View(), c.text) << c.name;
  }

  EXPECT_TRUE(run.shownMessages.empty());
  const std::string missing = "C:\\Setup\\missing.inf";
  EXPECT_FALSE(LoadTextFile(run, missing, encoding));
  EXPECT_FALSE(LoadTextFile(run, "C:\\Windows", encoding)) << "a directory cannot be read";
  ASSERT_EQ(run.shownMessages.size(), 2u);
  EXPECT_EQ(run.shownMessages[0].nMessage, 5501);
  EXPECT_EQ(std::get<std::string>(run.shownMessages[0].args.at(0)), missing);
  EXPECT_EQ(run.shownMessages[1].nMessage, 5501);
}

std::vector<std::string> Fields(const char* line) {
  std::vector<std::string> fields;
  std::string field;
  for (const char* rest = NextField(line, field); rest; rest = NextField(rest, field))
    fields.push_back(field);
  return fields;
}

TEST(InfFields, QuotedAndUnquotedFieldsAndFlagLists) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Fields("a, \"b,c\", 'it''s'"), (V{"a", "b,c", "it's"}));
  EXPECT_EQ(Fields("  one  ,two ,,three"), (V{"one  ", "two ", "", "three"}));
  EXPECT_EQ(Fields("\"say \"\"hi\"\"\" junk, next"), (V{"say \"hi\"", "next"}));
  EXPECT_EQ(Fields("'a\"b', \"c'd\""), (V{"a\"b", "c'd"}));
  EXPECT_EQ(Fields("x,"), (V{"x"})) << "nothing after the last comma is no field";
  EXPECT_EQ(Fields("x, "), (V{"x", ""}));
  EXPECT_EQ(Fields("\"open quote, to the end"), (V{"open quote, to the end"}));
  EXPECT_EQ(Fields("a,b\r\nc,d"), (V{"a", "b"})) << "fields end at the line end";
  EXPECT_TRUE(Fields("").empty());
  std::string field = "stale";
  EXPECT_EQ(NextField(nullptr, field), nullptr);
  EXPECT_EQ(field, "");

  static constexpr FlagName kFlags[] = {{"Silent", 1}, {"Force", 2}, {"Shared", 8}};
  EXPECT_EQ(ParseFlags("10", kFlags), 10u);
  EXPECT_EQ(ParseFlags("12abc", kFlags), 12u);
  EXPECT_EQ(ParseFlags("silent+FORCE", kFlags), 3u);
  EXPECT_EQ(ParseFlags("Silent | Shared)Force", kFlags), 11u);
  EXPECT_EQ(ParseFlags("", kFlags), 0u);
  EXPECT_EQ(ParseFlags("Silent+Bogus", kFlags), kUnknownFlags);
  EXPECT_EQ(ParseFlags("(Silent)", kFlags), kUnknownFlags) << "only ')' separates";
}

}  // namespace
}  // namespace tarvium
