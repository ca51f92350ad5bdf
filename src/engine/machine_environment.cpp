#include "engine/machine_environment.h"

#include "engine/setup_run.h"
#include "platform/ansi_case.h"
#include "platform/win_error.h"

namespace tarvium {

void RefreshEnvironment(SetupRun& run) {
  platform::Registry& registry = run.machine.Reg();
  platform::Environment& environment = run.machine.Env();
  std::string name;
  platform::RegValue value;
  for (uint32_t i = 0; registry.EnumValue(platform::RegRoot::LocalMachine, kMachineEnvironmentKey,
                                          i, name, value) == platform::ERROR_SUCCESS;
       ++i) {
    if (platform::AnsiEqualNoCase(name, "TMP") || platform::AnsiEqualNoCase(name, "TEMP") ||
        platform::AnsiEqualNoCase(name, "USERNAME"))
      continue;
    std::string text(value.data.begin(), value.data.end());
    while (!text.empty() && text.back() == '\0') text.pop_back();
    if (text.empty()) continue;
    environment.SetVariable(name, environment.ExpandEnvironmentStrings(text));
  }
}

}  // namespace tarvium
