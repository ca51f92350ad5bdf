// The host environment a started program gets. The engine hands over a Windows environment block
// ("NAME=value" in ANSI) or none (its own environment); the host program needs UTF-8, a host
// search path and the name of its exit-code file.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace platform {

// From a Windows block: every "NAME=value" converted to UTF-8, except the per-drive directory
// entries ("=C:=C:\dir") and PATH in any case: a Windows search path means nothing to a host
// program, which gets the engine's host PATH instead. Without a block: the engine's own
// environment as it is. Either way the exit-code variable names exitCodeFile (when not empty).
std::vector<std::string> ChildEnvironment(const std::optional<std::vector<std::string>>& block,
                                          const std::string& exitCodeFile);

}  // namespace platform
