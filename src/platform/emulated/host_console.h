// The emulated machine's console: the host process's standard output, in UTF-8.
#pragma once
#include "platform/console.h"

namespace platform::emulated {

class HostConsole final : public Console {
 public:
  void WriteLine(const std::string& text) override;
};

}  // namespace platform::emulated
