// The restart and processes pages answered without a person: their result and their one line.
#include "ui/headless_waiting_pages.h"

#include <gtest/gtest.h>

#include "ui/recording_console.h"

namespace tarvium::ui {
namespace {

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

}  // namespace
}  // namespace tarvium::ui
