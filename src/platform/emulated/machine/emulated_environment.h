// The environment a process of the emulated machine starts with, built as Windows builds it at
// logon: the variables Windows sets itself (profile folders, computer and user names, program
// folders), the machine's and then the user's environment keys of the registry (REG_EXPAND_SZ
// values expanded, the user's Path appended to the machine's), and finally the host variables the
// caller passes in, less those that only mean something to the host (HOME, PATH, LANG, ...) and
// those the machine itself defines.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/emulated/machine/machine_config.h"
#include "platform/environment.h"
#include "platform/registry.h"
#include "platform/system_info.h"

namespace platform::emulated {

class EmulatedEnvironment final : public Environment {
 public:
  // hostVariables: "NAME=value" in UTF-8, as the host process has them.
  EmulatedEnvironment(const MachineConfig& config, SystemInfo& system, Registry& registry,
                      const std::vector<std::string>& hostVariables);

  uint32_t GetVariable(const std::string& name, std::string& value) override;
  uint32_t SetVariable(const std::string& name, const std::string& value) override;
  uint32_t DeleteVariable(const std::string& name) override;
  std::vector<std::string> Block() override;
  std::string ExpandEnvironmentStrings(const std::string& text) override;

 private:
  struct Entry {
    std::string name;  // as first set
    std::string value;
  };
  void SetWindowsVariables(const MachineConfig& config, SystemInfo& system);
  void LoadRegistryEnvironment(Registry& registry, RegRoot root, const std::string& key);
  void LayHostVariables(const std::vector<std::string>& hostVariables);
  bool Has(const std::string& name) const;

  std::map<std::string, Entry> entries_;  // by upper-cased name: the order Windows sorts them in
};

}  // namespace platform::emulated
