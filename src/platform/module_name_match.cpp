#include "platform/module_name_match.h"

#include "platform/ansi_case.h"

namespace platform {

bool ModuleNamesMatch(std::string_view wanted, std::string_view moduleName) {
  if (AnsiEqualNoCase(wanted, moduleName)) return true;
  const auto bWithExe = [](std::string_view shorter, std::string_view longer) {
    return AnsiEndsWithNoCase(longer, ".exe") &&
           AnsiEqualNoCase(shorter, longer.substr(0, longer.size() - 4));
  };
  return bWithExe(wanted, moduleName) || bWithExe(moduleName, wanted);
}

}  // namespace platform
