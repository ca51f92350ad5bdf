// The standard output and standard error of the setup process, for the few lines the engine
// prints instead of showing them (a calling agent reads them), and whether a person sits at a
// terminal who could be asked. Text is ANSI; the backend converts it.
#pragma once
#include <string>

namespace platform {

class Console {
 public:
  virtual ~Console() = default;
  virtual void WriteLine(const std::string& text) = 0;       // standard output
  virtual void WriteErrorLine(const std::string& text) = 0;  // standard error
  // Standard input and standard error are both a terminal.
  virtual bool HasTerminal() = 0;
  // Standard error alone is a terminal: a line drawn there in place reaches a person.
  virtual bool StandardErrorIsTerminal() = 0;
  // The process has a standard output to write to. A Windows program without a console of its
  // own has none unless its caller gave it one.
  virtual bool HasStandardOutput() { return true; }
  // Writes text to standard error as it is, without a line end (a line redrawn in place).
  virtual void WriteErrorText(const std::string& text) = 0;
  // Standard input and standard output are both a terminal that can draw a text-mode screen (its
  // type is known and not "dumb"): a person can be asked through full-screen pages.
  virtual bool HasTextScreen() { return false; }
  // The next line of standard input (a person's answer at the terminal), ANSI, without its end;
  // false at the end of the input, or when there is none to read.
  virtual bool ReadLine(std::string& line) {
    line.clear();
    return false;
  }
};

}  // namespace platform
