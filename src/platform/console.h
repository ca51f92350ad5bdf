// The standard output of the setup process, for the few lines the engine prints there instead of
// showing them (a calling agent reads them). Text is ANSI; the backend converts it.
#pragma once
#include <string>

namespace platform {

class Console {
 public:
  virtual ~Console() = default;
  virtual void WriteLine(const std::string& text) = 0;
};

}  // namespace platform
