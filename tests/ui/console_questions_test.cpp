// A message box asked at a console: the answer names a button by its label or the start only it
// has; anything else asks again; Enter alone and the end of the input take the default, and a
// silent run or a box that closes by itself asks nothing.
#include "ui/console_questions_ui.h"

#include <gtest/gtest.h>

#include "recording_console.h"

namespace tarvium::ui {
namespace {

MessageBoxRequest Question() {
  MessageBoxRequest request;
  request.caption = "Setup";
  request.text = "Should the computer be restarted now?";
  request.icon = IconKind::Question;
  request.buttons = {{"&Yes", 6}, {"&No", 7}, {"&Nothing", 8}};
  return request;
}

TEST(ConsoleQuestions, TheTypedButtonIsTaken) {
  struct Case {
    std::deque<std::string> input;
    int nResult;
    const char* shown;  // a line the console must show
  };
  const Case cases[] = {
      {{" no "}, 7, "Buttons: [Yes] | No | Nothing"},
      {{"YES"}, 6, "Answer (Enter: Yes): "},
      {{"not"}, 8, "Should the computer be restarted now?"},
      {{"n", "maybe", "y"}, 6, "'n' is not the name of one button."},
      {{""}, 6, "Answer (Enter: Yes): "},
      {{}, 6, "No answer (end of input): the default button Yes was taken."},
  };
  for (const Case& c : cases) {
    RecordingConsole console(true);
    console.input = c.input;
    ConsoleQuestionsUserInterface ui(console);
    EXPECT_EQ(ui.MessageBox(Question()), c.nResult) << console.written;
    EXPECT_NE(console.written.find(c.shown), std::string::npos) << console.written;
    EXPECT_TRUE(console.input.empty()) << console.written;
  }
}

TEST(ConsoleQuestions, SilentRunsAndTimedBoxesAskNothing) {
  RecordingConsole console(true);
  console.input = {"no"};
  ConsoleQuestionsUserInterface ui(console);
  MessageBoxRequest timed = Question();
  timed.nTimeoutMs = 3000;
  EXPECT_EQ(ui.MessageBox(timed), 6);
  EXPECT_TRUE(timed.bTimedOut);
  ui.ConnectRun({.frame = [] { return RunFrame{.bSilent = true}; }});
  EXPECT_EQ(ui.MessageBox(Question()), 6);
  EXPECT_EQ(console.input.size(), 1u) << console.written;
}

}  // namespace
}  // namespace tarvium::ui
