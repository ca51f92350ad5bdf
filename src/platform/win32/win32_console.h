// The standard handles of the setup process: lines go to standard output and standard error as
// they are, and a person is at hand when the handles are consoles.
#pragma once
#include "platform/console.h"

namespace platform::win32 {

class Win32Console final : public Console {
 public:
  // A console shows the ANSI text through its wide form, so that characters outside ASCII look as
  // they do in the setup's own windows; a file or pipe gets the ANSI bytes unchanged. Lines end
  // in CR LF. A process without the handle writes nothing.
  void WriteLine(const std::string& text) override;
  void WriteErrorLine(const std::string& text) override;
  // Standard input and standard error are both consoles (GetConsoleMode succeeds on each).
  bool HasTerminal() override;
  bool StandardErrorIsTerminal() override;
  // The handle is there and is a console, a file or a pipe.
  bool HasStandardOutput() override;
  void WriteErrorText(const std::string& text) override;
  // No text-mode screen: a person at a Windows console is asked through the setup's windows.
  bool HasTextScreen() override { return false; }
  // A console's line as typed (through its wide form), a file's or pipe's bytes up to LF; a CR
  // before the end is dropped.
  bool ReadLine(std::string& line) override;
};

}  // namespace platform::win32
