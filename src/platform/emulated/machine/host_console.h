// The emulated machine's console: the host process's standard output and standard error, in
// UTF-8, and the host's terminal.
#pragma once
#include "platform/console.h"

namespace platform::emulated {

class HostConsole final : public Console {
 public:
  void WriteLine(const std::string& text) override;
  void WriteErrorLine(const std::string& text) override;
  bool HasTerminal() override;
  bool StandardErrorIsTerminal() override;
  void WriteErrorText(const std::string& text) override;
  bool HasTextScreen() override;
  // Read as UTF-8, a byte at a time, so that nothing after the line is taken from the input.
  bool ReadLine(std::string& line) override;
};

}  // namespace platform::emulated
