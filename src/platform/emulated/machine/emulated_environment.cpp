#include "platform/emulated/machine/emulated_environment.h"

#include <array>
#include <string_view>

#include "platform/ansi_case.h"
#include "platform/code_page.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

constexpr const char* kMachineEnvironmentKey =
    "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
constexpr const char* kUserEnvironmentKey = "Environment";

// Host variables that a Windows process never sees: they describe the host's shell and session.
constexpr std::array<std::string_view, 24> kHostOnly = {
    "PATH",    "HOME",      "PWD",     "OLDPWD",    "SHELL",      "SHLVL",
    "TERM",    "COLORTERM", "USER",    "LOGNAME",   "LANG",       "LANGUAGE",
    "DISPLAY", "MAIL",      "_",       "LS_COLORS", "HOSTNAME",   "TMPDIR",
    "EDITOR",  "PAGER",     "MANPATH", "INFOPATH",  "MOTD_SHOWN", "WAYLAND_DISPLAY"};
constexpr std::array<std::string_view, 7> kHostOnlyPrefixes = {"LC_",   "XDG_", "SSH_", "LD_",
                                                               "DBUS_", "LESS", "SUDO_"};

bool IsHostOnly(const std::string& upperName) {
  for (std::string_view name : kHostOnly)
    if (upperName == name) return true;
  for (std::string_view prefix : kHostOnlyPrefixes)
    if (upperName.starts_with(prefix)) return true;
  return false;
}

std::string StringOf(const RegValue& value) {
  std::string text(value.data.begin(), value.data.end());
  return text.substr(0, text.find('\0'));
}

}  // namespace

EmulatedEnvironment::EmulatedEnvironment(const MachineConfig& config, SystemInfo& system,
                                         Registry& registry,
                                         const std::vector<std::string>& hostVariables) {
  SetWindowsVariables(config, system);
  LoadRegistryEnvironment(registry, RegRoot::LocalMachine, kMachineEnvironmentKey);
  LoadRegistryEnvironment(registry, RegRoot::CurrentUser, kUserEnvironmentKey);
  LayHostVariables(hostVariables);
}

void EmulatedEnvironment::SetWindowsVariables(const MachineConfig& config, SystemInfo& system) {
  auto folder = [&](SpecialFolder id) {
    std::string path;
    system.GetSpecialFolder(id, path);
    return path;
  };
  const std::string profile = folder(SpecialFolder::UserProfile);
  const std::string windows = folder(SpecialFolder::Windows);
  const bool bWorkgroup = !config.szDomain.empty();
  const std::pair<const char*, std::string> variables[] = {
      {"ALLUSERSPROFILE", folder(SpecialFolder::CommonAppData)},
      {"APPDATA", folder(SpecialFolder::AppData)},
      {"CommonProgramFiles", folder(SpecialFolder::CommonFiles)},
      {"COMPUTERNAME", config.szComputerName},
      {"HOMEDRIVE", profile.substr(0, 2)},
      {"HOMEPATH", profile.size() > 2 ? profile.substr(2) : "\\"},
      {"LOCALAPPDATA", folder(SpecialFolder::LocalAppData)},
      {"LOGONSERVER", "\\\\" + config.szComputerName},
      {"ProgramData", folder(SpecialFolder::CommonAppData)},
      {"ProgramFiles", folder(SpecialFolder::ProgramFiles)},
      {"PUBLIC", folder(SpecialFolder::Public)},
      {"SystemDrive", windows.substr(0, 2)},
      {"SystemRoot", windows},
      {"USERDOMAIN", bWorkgroup ? config.szComputerName : config.szDomain},
      {"USERNAME", config.szUserName},
      {"USERPROFILE", profile},
  };
  for (const auto& [name, value] : variables) SetVariable(name, value);
  if (config.b64Bit) {
    SetVariable("CommonProgramFiles(x86)", folder(SpecialFolder::CommonFilesX86));
    SetVariable("CommonProgramW6432", folder(SpecialFolder::CommonFiles));
    SetVariable("ProgramFiles(x86)", folder(SpecialFolder::ProgramFilesX86));
    SetVariable("ProgramW6432", folder(SpecialFolder::ProgramFiles));
  }
}

void EmulatedEnvironment::LoadRegistryEnvironment(Registry& registry, RegRoot root,
                                                  const std::string& key) {
  std::string name;
  RegValue value;
  for (uint32_t i = 0; registry.EnumValue(root, key, i, name, value) == ERROR_SUCCESS; ++i) {
    if (value.dwType != REG_SZ && value.dwType != REG_EXPAND_SZ) continue;
    std::string text = StringOf(value);
    if (value.dwType == REG_EXPAND_SZ) text = ExpandEnvironmentStrings(text);
    std::string previous;
    const bool bAppendPath = root == RegRoot::CurrentUser && AnsiEqualNoCase(name, "Path") &&
                             GetVariable(name, previous) == ERROR_SUCCESS && !previous.empty();
    SetVariable(name, bAppendPath ? previous + ";" + text : text);
  }
}

void EmulatedEnvironment::LayHostVariables(const std::vector<std::string>& hostVariables) {
  for (const std::string& entry : hostVariables) {
    const size_t eq = entry.find('=');
    if (eq == std::string::npos || eq == 0) continue;
    const std::string name = Utf8ToAnsi(entry.substr(0, eq));
    if (IsHostOnly(AnsiUpper(name)) || Has(name)) continue;
    SetVariable(name, Utf8ToAnsi(entry.substr(eq + 1)));
  }
}

bool EmulatedEnvironment::Has(const std::string& name) const {
  return entries_.count(AnsiUpper(name)) != 0;
}

uint32_t EmulatedEnvironment::GetVariable(const std::string& name, std::string& value) {
  auto it = entries_.find(AnsiUpper(name));
  if (it == entries_.end()) {
    value.clear();
    return ERROR_ENVVAR_NOT_FOUND;
  }
  value = it->second.value;
  return ERROR_SUCCESS;
}

uint32_t EmulatedEnvironment::SetVariable(const std::string& name, const std::string& value) {
  if (name.empty() || name.find('=') != std::string::npos) return ERROR_INVALID_PARAMETER;
  auto [it, bNew] = entries_.try_emplace(AnsiUpper(name), Entry{name, value});
  if (!bNew) it->second.value = value;
  return ERROR_SUCCESS;
}

uint32_t EmulatedEnvironment::DeleteVariable(const std::string& name) {
  return entries_.erase(AnsiUpper(name)) ? ERROR_SUCCESS : ERROR_ENVVAR_NOT_FOUND;
}

std::vector<std::string> EmulatedEnvironment::Block() {
  std::vector<std::string> block;
  block.reserve(entries_.size());
  for (const auto& [upper, entry] : entries_) block.push_back(entry.name + "=" + entry.value);
  return block;
}

std::string EmulatedEnvironment::ExpandEnvironmentStrings(const std::string& text) {
  return ExpandVariableReferences(*this, text);
}

}  // namespace platform::emulated
