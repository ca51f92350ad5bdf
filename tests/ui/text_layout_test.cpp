// The text work of the text-mode pages: wrapping at blanks and within over-long words with
// multi-byte characters counted as one column, access keys, drop-down entries and cut lines; and
// the keys of a message box: access letters, Escape and F1 give the buttons' results.
// Where Browse starts, from the entry field's text, on a real temporary machine.
// The restart and processes pages answered without a person: their result and their one line;
// and the countdown of those pages: its text, its steps and its meter.
// The progress line of silent runs: its text within the width, and its redrawing in place on a
// terminal (a shorter line must blank out what is left of the longer one before it).
#include "ui/text_layout.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/test_machine.h"
#include "ui/box_keys.h"
#include "ui/browse_start.h"
#include "ui/countdown.h"
#include "ui/headless_waiting_pages.h"
#include "ui/progress_line.h"
#include "ui/recording_console.h"

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

TEST(HeadlessWaitingPages, RestartProceedsWithYesAndSaysWhen) {
  for (const auto& [nSeconds, expected] :
       {std::pair{30,
                  "== Page: restart == not asked (no interactive interface): Save it. Now; "
                  "restarting after 30 s\n"},
        std::pair{-1,
                  "== Page: restart == not asked (no interactive interface): Save it. Now; "
                  "restarting now\n"}}) {
    RecordingConsole console(false);
    PageRequest page;
    page.kind = PageKind::Restart;
    page.text = "Save it.\nNow";
    page.nSeconds = nSeconds;
    EXPECT_EQ(AnswerRestartPage(console, nullptr, page), kRestartNow);
    EXPECT_EQ(console.written, expected);
  }
}

TEST(HeadlessWaitingPages, ProcessesProceedWhenThePageWouldByItself) {
  struct Case {
    std::vector<std::string> items;
    int nSeconds;
    int nDefault;
    int nExpected;
    const char* line;
  } cases[] = {
      {{"Notes.exe", "Tray.exe"}, 20, kPageCancel, kPageNext, "Notes.exe, Tray.exe; OK"},
      {{"Notes.exe"}, -1, kPageCancel, kPageCancel, "Notes.exe; choice 2"},
      {{"Notes.exe"}, -1, kPageNext, kPageNext, "Notes.exe; OK"},
      {{}, -1, kPageCancel, kPageNext, "none; OK"},
  };
  for (const Case& c : cases) {
    RecordingConsole console(false);
    PageRequest page;
    page.kind = PageKind::Processes;
    page.items = c.items;
    page.nSeconds = c.nSeconds;
    page.nDefaultChoice = c.nDefault;
    EXPECT_EQ(AnswerProcessesPage(console, page), c.nExpected) << c.line;
    EXPECT_EQ(console.written,
              std::string("== Page: programs to end == not asked (no interactive interface): ") +
                  c.line + "\n");
  }
}

TEST(Countdown, TextTakesTheSecondsOnceAndKeepsEverythingElse) {
  struct Case {
    const char* format;
    const char* expected;
  } cases[] = {
      {"Restarting in: %ld sec", "Restarting in: 12 sec"},
      {"Neustart in %d s", "Neustart in 12 s"},
      {"%d%% of %d", "12% of %d"},
      {"%s %x %", "%s %x %"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(CountdownText(c.format, 12), c.expected) << c.format;
}

// What a page shows after each second: remaining seconds and meter position.
std::vector<std::pair<int, int>> Steps(int nSeconds) {
  Countdown countdown(nSeconds);
  std::vector<std::pair<int, int>> steps{{countdown.Remaining(), countdown.MeterPosition()}};
  for (int i = 0; i < 10 && !countdown.IsOver(); ++i) {
    countdown.Tick();
    steps.emplace_back(countdown.Remaining(), countdown.MeterPosition());
  }
  return steps;
}

TEST(Countdown, CountsDownOnceASecondWithTheMeterUpToSecondsMinusOne) {
  using Steps_ = std::vector<std::pair<int, int>>;
  EXPECT_EQ(Steps(3), (Steps_{{3, 0}, {2, 1}, {1, 2}, {0, 2}}));
  EXPECT_EQ(Steps(1), (Steps_{{1, 0}, {0, 0}}));
  EXPECT_EQ(Countdown(3).MeterLimit(), 2);

  Countdown immediate(0);
  EXPECT_TRUE(immediate.IsShown());
  EXPECT_TRUE(immediate.IsOver());

  Countdown hidden(-1);  // waits for a person: never over, however long
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(hidden.Tick());
  EXPECT_FALSE(hidden.IsShown());
  EXPECT_EQ(hidden.Remaining(), 0);
}

TEST(ProgressLine, TextKeepsPercentStartAndFileNameWithinTheWidth) {
  const std::string longPath = "Copying: C:\\Source\\Very\\Deep\\Directory\\Tree\\Program.exe";
  struct Case {
    int nPercent;
    std::string status;
    size_t nWidth;
    std::string expected;
  } cases[] = {
      {0, "Copying: C:\\A.txt", 79, "  0% Copying: C:\\A.txt"},
      {100, "", 79, "100%"},
      {250, "x", 79, "100% x"},
      {-1, "Copying: C:\\A.txt", 79, "     Copying: C:\\A.txt"},
      {42, longPath, 30, " 42% Copying...ree\\Program.exe"},
      {42, longPath, 8, " 42% exe"},
      {7, longPath, 4, "  7%"},
  };
  for (const Case& c : cases) {
    const std::string line = FormatProgressLine(c.nPercent, c.status, c.nWidth);
    EXPECT_EQ(line, c.expected) << c.status << " in " << c.nWidth;
    EXPECT_LE(line.size(), c.nWidth);
  }
}

TEST(ProgressLine, RedrawsInPlaceAndEndsItsLineBeforeOtherOutput) {
  RecordingConsole terminal(true);
  ProgressLine line(terminal);
  line.SetPercent(10);  // not open yet: nothing
  line.Open();
  line.SetStatus("Copying: C:\\Long\\Name.dll");
  line.SetPercent(50);
  line.SetStatus("Copying: C:\\B");
  line.Interrupt();
  terminal.WriteErrorLine("== a message ==");
  line.SetPercent(-1);
  line.Close();
  EXPECT_EQ(terminal.written,
            "\r     Copying: C:\\Long\\Name.dll"
            "\r 50% Copying: C:\\Long\\Name.dll"
            "\r 50% Copying: C:\\B            \n"
            "== a message ==\n"
            "\r    \n");

  RecordingConsole file(false);
  ProgressLine quiet(file);
  quiet.Open();
  quiet.SetPercent(30);
  quiet.SetStatus("Copying: C:\\A");
  quiet.Close();
  EXPECT_EQ(file.written, "");
}

}  // namespace
}  // namespace tarvium::ui
