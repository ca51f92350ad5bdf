// The environment of the running setup as a Windows process sees it: names compared without
// regard to case, values in ANSI, %NAME% expansion as ExpandEnvironmentStrings does it.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace platform {

class Environment {
 public:
  virtual ~Environment() = default;
  // ERROR_ENVVAR_NOT_FOUND (203) when the variable is not set.
  virtual uint32_t GetVariable(const std::string& name, std::string& value) = 0;
  virtual uint32_t SetVariable(const std::string& name, const std::string& value) = 0;
  virtual uint32_t DeleteVariable(const std::string& name) = 0;
  // Every variable as "NAME=value", in the order Windows keeps them (sorted, case-insensitive).
  virtual std::vector<std::string> Block() = 0;
  // Replaces each %NAME% of a set variable by its value; unknown references stay as written.
  virtual std::string ExpandEnvironmentStrings(const std::string& text) = 0;
};

inline constexpr uint32_t ERROR_ENVVAR_NOT_FOUND = 203;

// ExpandEnvironmentStrings over any environment's GetVariable: each %NAME% of a set variable
// replaced by its value, the rest kept as written (a closing '%' may open the next reference).
std::string ExpandVariableReferences(Environment& environment, const std::string& text);

}  // namespace platform
