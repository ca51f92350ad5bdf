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
  bool HasTextScreen() override;
};

}  // namespace platform::emulated
