// The progress line of silent runs: its text within the width, and its redrawing in place on a
// terminal (a shorter line must blank out what is left of the longer one before it).
#include "ui/progress_line.h"

#include <gtest/gtest.h>

#include "ui/recording_console.h"

namespace tarvium::ui {
namespace {

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
