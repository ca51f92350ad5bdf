// Standard output and standard error as a test sees them: what was written to standard error, and
// whether it counts as a terminal; standard input gives the lines of `input` in turn.
#pragma once
#include <deque>
#include <string>

#include "platform/console.h"

namespace tarvium::ui {

class RecordingConsole final : public platform::Console {
 public:
  explicit RecordingConsole(bool bTerminal) : bTerminal_(bTerminal) {}
  void WriteLine(const std::string&) override {}
  void WriteErrorLine(const std::string& text) override { written += text + "\n"; }
  bool HasTerminal() override { return bTerminal_; }
  bool StandardErrorIsTerminal() override { return bTerminal_; }
  void WriteErrorText(const std::string& text) override { written += text; }
  bool ReadLine(std::string& line) override {
    line.clear();
    if (input.empty()) return false;
    line = input.front();
    input.pop_front();
    return true;
  }
  std::string written;
  std::deque<std::string> input;

 private:
  bool bTerminal_;
};

}  // namespace tarvium::ui
