// The environment of a recorded run: variables it sets or deletes are kept here, the wrapped
// machine's environment answers for the rest, so that a variable set and then expanded reads as
// on a real run while the wrapped environment stays as it was. They are not logged: a process's
// own environment is no change of the machine, and ends with the process.
#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/environment.h"
#include "platform/recording/machine_change.h"

namespace platform {

class OverlayEnvironment final : public Environment {
 public:
  explicit OverlayEnvironment(Environment& wrapped) : m_wrapped(wrapped) {}

  uint32_t GetVariable(const std::string& name, std::string& value) override;
  uint32_t SetVariable(const std::string& name, const std::string& value) override;
  uint32_t DeleteVariable(const std::string& name) override;
  std::vector<std::string> Block() override;
  std::string ExpandEnvironmentStrings(const std::string& text) override;

 private:
  struct Variable {
    std::string name;
    std::optional<std::string> value;  // none: deleted
  };

  Environment& m_wrapped;
  std::map<std::string, Variable> m_variables;  // by upper-case name
};

}  // namespace platform
