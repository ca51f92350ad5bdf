// The text work of the text-mode pages: wrapping at blanks and within over-long words with
// multi-byte characters counted as one column, access keys, drop-down entries and cut lines; and
// the keys of a message box: access letters, Escape and F1 give the buttons' results.
// Where Browse starts, from the entry field's text, on a real temporary machine.
#include "ui/text_layout.h"

#include <gtest/gtest.h>

#include "support/test_machine.h"
#include "ui/box_keys.h"
#include "ui/browse_start.h"

namespace tarvium::ui {
namespace {

using Lines = std::vector<std::string>;

TEST(TextLayout, WrapsAtBlanksKeepsBreaksAndCutsLongWords) {
  struct Case {
    std::string text;
    size_t nWidth;
    Lines expected;
  };
  const Case cases[] = {
      {"one two three", 7, {"one two", "three"}},
      {"one two three", 13, {"one two three"}},
      {"line\r\nnext", 20, {"line", "next"}},
      {"a\n\nb", 20, {"a", "", "b"}},
      {"abcdefghij", 4, {"abcd", "efgh", "ij"}},
      {"go abcdefghij", 4, {"go", "abcd", "efgh", "ij"}},
      // "ä" and "é" are two bytes each but one column
      {"äää ééé", 3, {"äää", "ééé"}},
      {"äääää", 2, {"ää", "ää", "ä"}},
      {"", 10, {""}},
      {"x", 0, {"x"}},
  };
  for (const Case& c : cases) EXPECT_EQ(WrapText(c.text, c.nWidth), c.expected) << c.text;
}

TEST(TextLayout, AccessKeysWidthsAndDropDownEntries) {
  EXPECT_EQ(AccessKey("&Yes"), 'y');
  EXPECT_EQ(AccessKey("Re&try"), 't');
  EXPECT_EQ(AccessKey("Save && &Quit"), 'q');
  EXPECT_EQ(AccessKey("OK"), '\0');
  EXPECT_EQ(AccessKey("End&"), '\0');
  EXPECT_EQ(DisplayWidth("Zurück"), 6u);
  EXPECT_EQ(FitLine("Destination", 20), "Destination");
  EXPECT_EQ(FitLine("Größenangabe", 8), "Größe...");

  EXPECT_EQ(DropDownEntries("C:\\App"), Lines{});
  EXPECT_EQ(DropDownEntries("C:\\App; D:\\App ;;E:\\"), (Lines{"C:\\App", "D:\\App", "E:\\"}));
  EXPECT_EQ(DropDownEntries("C:\\Only;"), Lines{"C:\\Only"});
  EXPECT_EQ(DropDownEntries(";"), Lines{});
}

MessageBoxRequest Box(std::vector<MessageButton> buttons) {
  MessageBoxRequest request;
  request.buttons = std::move(buttons);
  return request;
}

TEST(BoxKeys, AccessLettersAndEscapeGiveTheButtonsResults) {
  const MessageBoxRequest abort = Box({{"&Yes", 6}, {"&No", 7}, {"&Help", 9}});
  const MessageBoxRequest retry = Box({{"&Retry", 4}, {"&Cancel", 2}});
  const MessageBoxRequest okOnly = Box({{"OK", 2}});
  struct Case {
    const MessageBoxRequest& request;
    int nKey;
    int nExpected;
  };
  const Case cases[] = {
      {abort, 'y', 6},        {abort, 'N', 7},    {abort, 'h', 9},
      {abort, kEscapeKey, 0},  // no button answers 2: Escape does nothing
      {abort, 'x', 0},        {abort, 0x1000, 0}, {retry, kEscapeKey, 2},
      {retry, 'r', 4},        {retry, 'C', 2},    {okOnly, kEscapeKey, 2},
      {okOnly, 'o', 0},                            // a label without '&' has no letter
      {abort, kF1Key, 9},     {retry, kF1Key, 0},  // F1 is Help only where Help is shown
  };
  for (const Case& c : cases) EXPECT_EQ(ResultOfBoxKey(c.request, c.nKey), c.nExpected) << c.nKey;
}

TEST(BrowseStart, ExistingDirectoryOrTheOneAboveWithDrivesCompleted) {
  test::TestMachine test;
  platform::FileSystem& files = test.Machine().Files();
  ASSERT_EQ(files.CreateDirectoryTree("C:\\Program Files\\Vendor"), 0u);
  ASSERT_EQ(files.WriteWholeFile("C:\\Program Files\\Vendor\\App.exe", "MZ"), 0u);
  struct Case {
    const char* field;
    const char* start;
  } cases[] = {
      {"C:\\Program Files\\Vendor", "C:\\Program Files\\Vendor"},
      {"C:\\Program Files\\Vendor\\New App", "C:\\Program Files\\Vendor"},
      {"C:\\Program Files\\Vendor\\App.exe", "C:\\Program Files\\Vendor"},  // a file, not a dir
      {"C:\\Program Files\\Vendor\\", "C:\\Program Files\\Vendor\\"},
      {"C:\\Missing\\Deeper\\", "C:\\Missing\\Deeper"},  // cut once, however far it leads
      {"C:\\New", "C:\\"},
      {"d:", "d:\\"},
      {"C:\\", "C:\\"},
      {"Relative", "Relative"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(BrowseStartDirectory(c.field, files), c.start) << c.field;
}

}  // namespace
}  // namespace tarvium::ui
