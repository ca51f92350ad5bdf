// Setup.exe in a real terminal, for the tests of the text-mode interface: a temporary machine
// (made by `winmachine create`, with a snapshot taken before the run), and Setup.exe started on it
// in a detached tmux session of 80x24 columns on a socket of its own (-S, in its temporary
// directory), in a UTF-8 locale. The test presses keys (tmux key names or literal text), reads the
// screen (capture-pane) and waits for a text with a bounded poll. The tmux server is always killed
// when the object ends.
//
//   TerminalSetup terminal;
//   ASSERT_TRUE(terminal.Start(mediaDir, "Setup.inf"));
//   ASSERT_TRUE(terminal.Shows("Installation mode"));
//   terminal.Keys("Tab Enter");
//   EXPECT_EQ(terminal.WaitForExit(), 0);
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/temp_dir.h"

namespace tarvium::test {

class TerminalSetup {
 public:
  TerminalSetup();
  ~TerminalSetup();
  TerminalSetup(const TerminalSetup&) = delete;
  TerminalSetup& operator=(const TerminalSetup&) = delete;

  // The machine's host directory (TARVIUM_MACHINE) and a writable scratch directory.
  const std::string& Machine() const { return machine_; }
  std::string Scratch() const { return dir_.Path(); }

  // Writes a product's media into the scratch directory: its Setup.inf and the files (name, bytes;
  // a name may hold folders, made as needed). Returns the media's host path.
  std::string WriteMedia(const std::string& setupInf,
                         const std::vector<std::pair<std::string, std::string>>& files = {});
  // The text of a file of the machine directory ("power_request.txt", "drive_c/trace.txt"), ""
  // when it is missing.
  std::string MachineFile(const std::string& relative) const;
  // Runs winmachine on the machine (a registry value to seed, ...); true when it succeeded.
  bool OnMachine(const std::string& args);
  // Starts Setup.exe with the arguments (shell syntax) in mediaDir, with extra environment
  // assignments ("LANG=de_DE.UTF-8") before it. False when tmux could not start.
  bool Start(const std::string& mediaDir, const std::string& args, const std::string& env = "");
  // Presses keys by their tmux names, separated by blanks ("Tab", "Enter", "Escape", "Down",
  // "C-u", "y").
  void Keys(const std::string& keyNames);
  // Types the text as it is.
  void Type(const std::string& text);
  // The screen as it shows now, one line per row.
  std::string Screen();
  // Everything the terminal showed, with the lines scrolled off the top (plain output, not pages).
  std::string History();
  // Waits until the screen shows the text (up to nTimeoutMs); false when it never did.
  bool WaitFor(const std::string& text, int nTimeoutMs = 15000);
  // WaitFor as an assertion whose failure names the text and shows the screen.
  testing::AssertionResult Shows(const std::string& text, int nTimeoutMs = 15000);
  // Waits until the screen no longer shows the text (a box closed), as an assertion.
  testing::AssertionResult Hides(const std::string& text, int nTimeoutMs = 15000);
  // Waits until Setup.exe ended and returns its exit status (-1 after nTimeoutMs).
  int WaitForExit(int nTimeoutMs = 30000);
  // Waits for the end page, closes it and checks that Setup.exe ended with 0.
  testing::AssertionResult EndsSuccessfully();
  // The lines of `winmachine diff` between the machine before Start and now.
  std::vector<std::string> Diff();

 private:
  std::string Tmux(const std::string& args);
  // Waits until the screen shows the text (bShown) or no longer shows it.
  bool WaitForScreen(const std::string& text, bool bShown, int nTimeoutMs);

  TempDir dir_;
  std::string machine_;
  std::string snapshot_;
  std::string socket_;
  std::string exitFile_;
  bool bStarted_ = false;
};

// Whether one of the lines (of a Diff) holds the text.
// The head of a test product's Setup.inf: [Setup] and the [Application] section of "Tarvium
// <name> Product" with its key and directory, then the further lines of [Application].
std::string ProductHead(const std::string& name, const std::string& applicationLines = "");

bool HasLine(const std::vector<std::string>& lines, const std::string& part);

}  // namespace tarvium::test
