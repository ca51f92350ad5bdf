// The environment overlay: its own variables first, the wrapped environment after; the block
// merged in the order Windows keeps (upper-case names), and %NAME% expanded against the merge.
#include "platform/recording/overlay_environment.h"

#include <algorithm>

#include "platform/ansi_case.h"

namespace platform {

uint32_t OverlayEnvironment::GetVariable(const std::string& name, std::string& value) {
  auto it = m_variables.find(AnsiUpper(name));
  if (it == m_variables.end()) return m_wrapped.GetVariable(name, value);
  if (!it->second.value) {
    value.clear();
    return ERROR_ENVVAR_NOT_FOUND;
  }
  value = *it->second.value;
  return 0;
}

uint32_t OverlayEnvironment::SetVariable(const std::string& name, const std::string& value) {
  m_variables[AnsiUpper(name)] = {name, value};
  return 0;
}

uint32_t OverlayEnvironment::DeleteVariable(const std::string& name) {
  std::string value;
  if (uint32_t dwError = GetVariable(name, value)) return dwError;
  m_variables[AnsiUpper(name)] = {name, std::nullopt};
  return 0;
}

std::vector<std::string> OverlayEnvironment::Block() {
  std::vector<std::string> block;
  for (const std::string& entry : m_wrapped.Block()) {
    const std::string upperName = AnsiUpper(entry.substr(0, entry.find('=', 1)));
    if (!m_variables.count(upperName)) block.push_back(entry);
  }
  for (const auto& [upperName, variable] : m_variables)
    if (variable.value) block.push_back(variable.name + "=" + *variable.value);
  const auto upperName = [](const std::string& entry) {
    return AnsiUpper(entry.substr(0, entry.find('=', 1)));
  };
  std::stable_sort(block.begin(), block.end(), [&](const std::string& a, const std::string& b) {
    return upperName(a) < upperName(b);
  });
  return block;
}

std::string OverlayEnvironment::ExpandEnvironmentStrings(const std::string& text) {
  return ExpandVariableReferences(*this, text);
}

}  // namespace platform
