#include "engine/identity_fallbacks.h"

#include <array>
#include <string>
#include <string_view>

#include "engine/registry_text.h"
#include "engine/setup_run.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

struct NameSource {
  std::string_view variable;
  const char* registryValue;
  const char* profileKey;
};

constexpr std::array<NameSource, 2> kNameSources = {{
    {"User", "RegisteredOwner", "DefName"},
    {"Company", "RegisteredOrganization", "DefCompany"},
}};

constexpr std::array<const char*, 2> kCurrentVersionKeys = {
    "Software\\Microsoft\\Windows\\CurrentVersion",
    "Software\\Microsoft\\Windows NT\\CurrentVersion"};

std::string RegisteredName(SetupRun& run, const char* valueName) {
  for (const char* key : kCurrentVersionKeys) {
    std::string text;
    if (RegReadText(run, platform::RegRoot::LocalMachine, key, valueName, text) ==
            platform::ERROR_SUCCESS &&
        !text.empty())
      return text;
  }
  return std::string();
}

}  // namespace

void FillUserAndCompany(SetupRun& run) {
  for (const NameSource& source : kNameSources) {
    if (!run.variables.Get(source.variable).empty()) continue;
    std::string name = RegisteredName(run, source.registryValue);
    if (name.empty())
      name = run.machine.Profiles().GetProfileString("MS User Info", source.profileKey, "");
    run.variables.Set(source.variable, name);
  }
}

void ChooseShellLinkFolders(SetupRun& run) {
  const std::string_view prefix = run.ctx.bCommonShellLinks ? "Common" : "User";
  for (std::string_view folder : {"Desktop", "Programs", "StartMenu", "Startup"})
    run.variables.Set(folder, run.variables.Get(std::string(prefix) + std::string(folder)));
}

}  // namespace tarvium
