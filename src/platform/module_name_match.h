// How a running program is found by its module name, on every machine: the names are compared
// without regard to case, and "name" also matches "name.exe" and the other way round.
#pragma once
#include <string_view>

namespace platform {

bool ModuleNamesMatch(std::string_view wanted, std::string_view moduleName);

}  // namespace platform
