// Building the child's environment list; the exit-code variable of the engine's own parent is
// never passed on, so each child sees only the file its own parent reads.
#include "platform/emulated/processes/child_environment.h"

#include <unistd.h>

#include <cstdlib>

#include "platform/ansi_case.h"
#include "platform/code_page.h"
#include "platform/emulated/processes/exit_code_file.h"

namespace platform {
namespace {

// The name of "NAME=value"; empty when the entry has none or starts with '='.
std::string_view NameOf(std::string_view entry) {
  const size_t nEqual = entry.find('=');
  return nEqual == std::string_view::npos ? std::string_view() : entry.substr(0, nEqual);
}

void AddFromBlock(const std::vector<std::string>& block, std::vector<std::string>& env) {
  for (const std::string& entry : block) {
    const std::string_view name = NameOf(entry);
    if (name.empty() || AnsiEqualNoCase(name, "PATH") ||
        AnsiEqualNoCase(name, kExitCodeFileVariable))
      continue;
    env.push_back(AnsiToUtf8(entry));
  }
  if (const char* pszPath = std::getenv("PATH")) env.push_back(std::string("PATH=") + pszPath);
}

void AddOwn(std::vector<std::string>& env) {
  for (char** ppsz = environ; ppsz && *ppsz; ++ppsz)
    if (NameOf(*ppsz) != kExitCodeFileVariable) env.emplace_back(*ppsz);
}

}  // namespace

std::vector<std::string> ChildEnvironment(const std::optional<std::vector<std::string>>& block,
                                          const std::string& exitCodeFile) {
  std::vector<std::string> env;
  if (block)
    AddFromBlock(*block, env);
  else
    AddOwn(env);
  if (!exitCodeFile.empty()) env.push_back(std::string(kExitCodeFileVariable) + "=" + exitCodeFile);
  return env;
}

}  // namespace platform
