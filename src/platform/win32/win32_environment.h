// The environment of the running setup process, through Windows' own functions: the process keeps
// it, child processes inherit it, and names are compared without regard to case by Windows.
#pragma once
#include "platform/environment.h"

namespace platform::win32 {

class Win32Environment final : public Environment {
 public:
  uint32_t GetVariable(const std::string& name, std::string& value) override;
  uint32_t SetVariable(const std::string& name, const std::string& value) override;
  // Deleting a variable that is not set succeeds, as it does on Windows.
  uint32_t DeleteVariable(const std::string& name) override;
  std::vector<std::string> Block() override;
  // The text as it stands when Windows cannot expand it.
  std::string ExpandEnvironmentStrings(const std::string& text) override;
};

}  // namespace platform::win32
