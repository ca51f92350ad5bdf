// Creating and opening the emulated machine. Creation writes machine.ini, imports the default
// registry and makes the folders of the default layout through the machine's own file system, so
// that they get the attributes and times any other folder of the machine gets.
#include "platform/emulated/machine/emulated_machine.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "platform/ansi_case.h"
#include "platform/code_page.h"
#include "platform/emulated/machine/default_layout.h"
#include "platform/emulated/machine/system_user_exe.h"
#include "platform/emulated/processes/engine_image.h"
#include "platform/emulated/registry/reg_text.h"
#include "platform/error_text.h"
#include "platform/program_path.h"
#include "platform/win_error.h"

extern char** environ;

namespace platform::emulated {
namespace {

namespace fs = std::filesystem;

std::string ConfigFile(const std::string& hostDir) {
  return hostDir + "/" + kMachineConfigName;
}

// A SID that stays the same for the same computer and user, so that two machines created alike
// compare equal, and that looks like the SID of a local account.
std::string SidFor(const MachineIdentity& identity) {
  uint32_t parts[3] = {2166136261u, 16777619u, 0x9E3779B9u};
  const std::string seed = identity.computerName + "\\" + identity.userName;
  for (uint32_t& part : parts)
    for (unsigned char c : seed) part = (part ^ c) * 16777619u + (part >> 13);
  return "S-1-5-21-" + std::to_string(parts[0] % 4000000000u) + "-" +
         std::to_string(parts[1] % 4000000000u) + "-" + std::to_string(parts[2] % 4000000000u) +
         "-1001";
}

bool MakeHostDirectories(const std::string& hostDir, const MachineConfig& config,
                         std::string& error) {
  std::error_code ec;
  fs::create_directories(hostDir, ec);
  for (const DriveMapping& drive : config.drives) {
    if (ec || drive.hostDir.empty() || drive.hostDir.front() == '/') continue;
    fs::create_directories(fs::path(hostDir) / drive.hostDir, ec);
  }
  if (ec) error = "cannot create '" + hostDir + "': " + ec.message();
  return !ec;
}

bool LayOutRegistry(const std::string& hostDir, const MachineConfig& config,
                    std::unique_ptr<SqliteRegistry>& registry, std::string& error) {
  if (SqliteRegistry::Open({hostDir + "/registry.db", config.szUserSid}, registry) !=
      ERROR_SUCCESS) {
    error = "cannot create the registry in '" + hostDir + "'";
    return false;
  }
  RegTextError regError;
  if (ImportRegText(*registry, DefaultRegistryText(config), regError) != ERROR_SUCCESS) {
    error = "default registry, line " + std::to_string(regError.nLine) + ": " + regError.message;
    return false;
  }
  const uint32_t dwProtected = registry->WriteAsOne([&] {
    for (const auto& [root, keyPath] : WindowsOwnedKeys(config)) {
      if (const uint32_t err = registry->ProtectKey(root, keyPath); err != ERROR_SUCCESS) {
        error = "cannot protect the key '" + keyPath + "' (" + ErrorCodeText(err) + ")";
        return err;
      }
    }
    return uint32_t{ERROR_SUCCESS};
  });
  if (dwProtected != ERROR_SUCCESS) return false;
  if (const uint32_t err = EmulatedAccounts::Seed(config, *registry); err != ERROR_SUCCESS) {
    error = "cannot write the built-in accounts (" + ErrorCodeText(err) + ")";
    return false;
  }
  return true;
}

// The value of one host variable ("NAME=value"); empty when it is not there.
std::string HostVariable(const std::vector<std::string>& hostVariables, std::string_view name) {
  std::string value;
  for (const std::string& entry : hostVariables)
    if (entry.size() > name.size() && entry.starts_with(name) && entry[name.size()] == '=')
      value = entry.substr(name.size() + 1);
  return value;
}

// The engine binaries engine images run, in order (engine_image.h).
std::vector<std::string> EngineCandidatesOf(const std::string& machineDir,
                                            const MachineConfig& config,
                                            const std::vector<std::string>& hostVariables) {
  std::string configured = AnsiToUtf8(config.szEngine);
  if (!configured.empty() && configured.front() != '/') configured = machineDir + "/" + configured;
  return EngineCandidates(HostVariable(hostVariables, kEngineVariable), configured);
}

// The host folder of a user's profile that no ANSI path names (the user's name holds characters
// the code page cannot), or empty when the profile has an ANSI path.
std::string UnnamedProfileHostDir(const std::string& hostDir, const MachineConfig& config,
                                  const MachineIdentity& identity) {
  if (AnsiToUtf8(config.szUserName) == identity.userName) return {};
  for (const DriveMapping& drive : config.drives)
    if (drive.cLetter == 'C')
      return (fs::path(hostDir) / drive.hostDir / "Users" / identity.userName).string();
  return {};
}

// A folder below a profile that no ANSI path names is made on the host, as a folder made there.
bool MakeProfileFolderOnHost(const std::string& profileHostDir, std::string_view rest,
                             std::string& error) {
  std::string hostPath = profileHostDir + AnsiToUtf8(rest);
  std::replace(hostPath.begin() + static_cast<std::ptrdiff_t>(profileHostDir.size()),
               hostPath.end(), '\\', '/');
  std::error_code ec;
  fs::create_directories(hostPath, ec);
  if (ec) error = "cannot create '" + hostPath + "': " + ec.message();
  return !ec;
}

bool LayOutFolders(EmulatedFileSystem& files, const MachineConfig& config,
                   const std::string& profileHostDir, std::string& error) {
  std::vector<std::string> folders = {config.szWindowsDir + "\\Temp"};
  for (const FolderPlace& place : DefaultFolders(config)) folders.push_back(place.path);
  for (const std::string& folder : EmulatedSpooler::Folders(config)) folders.push_back(folder);
  folders.push_back(EmulatedOdbcInstaller::DataSourcesFolder());
  const std::string profile = "C:\\Users\\" + config.szUserName;
  for (const std::string& folder : folders) {
    if (!profileHostDir.empty() && AnsiStartsWithNoCase(folder, profile) &&
        (folder.size() == profile.size() || folder[profile.size()] == '\\')) {
      if (!MakeProfileFolderOnHost(profileHostDir, std::string_view(folder).substr(profile.size()),
                                   error))
        return false;
      continue;
    }
    const uint32_t err = files.CreateDirectoryTree(folder);
    if (err != ERROR_SUCCESS && err != ERROR_ALREADY_EXISTS) {
      error = "cannot create '" + folder + "' (" + ErrorCodeText(err) + ")";
      return false;
    }
  }
  return true;
}

// A file of the installation, dated like one, so that two new machines hold the same file.
bool LayOutSystemFile(EmulatedFileSystem& files, const std::string& path, const std::string& bytes,
                      std::string& error) {
  const FileTimes installed{kSystemFileTime, kSystemFileTime, kSystemFileTime};
  uint32_t err = files.CreateDirectoryTree(path.substr(0, path.rfind('\\')));
  if (err == ERROR_SUCCESS || err == ERROR_ALREADY_EXISTS) err = files.WriteWholeFile(path, bytes);
  if (err == ERROR_SUCCESS) err = files.SetFileTimes(path, installed);
  if (err != ERROR_SUCCESS) {
    error = "cannot write '" + path + "' (" + ErrorCodeText(err) + ")";
    return false;
  }
  return true;
}

// The files of the system directory that the engine reads or edits: User.exe with its version
// resource, and the network files of drivers\etc.
bool LayOutSystemFiles(EmulatedFileSystem& files, const MachineConfig& config, std::string& error) {
  if (!LayOutSystemFile(files, config.szWindowsDir + "\\System32\\User.exe",
                        SystemUserExeImage(config), error))
    return false;
  for (const SeedFile& file : DefaultNetworkFiles(config))
    if (!LayOutSystemFile(files, file.path, file.text, error)) return false;
  return true;
}

}  // namespace

bool EmulatedMachine::Create(const std::string& hostDir, const MachineIdentity& identity,
                             std::string& error) {
  if (Exists(hostDir)) {
    error = "'" + hostDir + "' already holds a machine";
    return false;
  }
  MachineConfig config;
  config.szUserName = Utf8ToAnsi(identity.userName);
  config.szComputerName = Utf8ToAnsi(identity.computerName);
  config.wUILanguage = identity.wLanguage;
  config.lcidLocale = identity.wLanguage;
  config.szUserSid = SidFor(identity);
  config.szEngine = Utf8ToAnsi(identity.engine);
  const std::string profileHostDir = UnnamedProfileHostDir(hostDir, config, identity);
  if (!profileHostDir.empty()) config.szTempDir = config.szWindowsDir + "\\Temp";
  std::unique_ptr<SqliteRegistry> registry;
  if (!MakeHostDirectories(hostDir, config, error) ||
      !LayOutRegistry(hostDir, config, registry, error))
    return false;
  EmulatedFileSystem files(hostDir, config, *registry);
  // machine.ini comes last: a directory without it is no machine, so a failed creation can be
  // repeated.
  return LayOutFolders(files, config, profileHostDir, error) &&
         LayOutSystemFiles(files, config, error) &&
         SaveMachineConfig(ConfigFile(hostDir), config, error);
}

std::unique_ptr<EmulatedMachine> EmulatedMachine::Open(
    const std::string& hostDir, const std::vector<std::string>& hostVariables, std::string& error,
    const MachineIdentity& identityIfNew, bool* pbCreated) {
  const bool bCreate = !Exists(hostDir);
  if (bCreate && !Create(hostDir, identityIfNew, error)) return nullptr;
  if (pbCreated) *pbCreated = bCreate;
  std::unique_ptr<EmulatedMachine> machine(new EmulatedMachine());
  if (!machine->Build(hostDir, hostVariables, error)) return nullptr;
  return machine;
}

bool EmulatedMachine::Build(const std::string& hostDir,
                            const std::vector<std::string>& hostVariables, std::string& error) {
  std::error_code ec;
  dir_ = fs::absolute(hostDir, ec).lexically_normal().string();
  if (!dir_.empty() && dir_.back() == '/') dir_.pop_back();
  if (!LoadMachineConfig(ConfigFile(dir_), config_, error) ||
      !debugger_.Configure(hostVariables, error))
    return false;
  if (SqliteRegistry::Open({dir_ + "/registry.db", config_.szUserSid}, registry_) !=
      ERROR_SUCCESS) {
    error = "cannot open the registry of '" + dir_ + "'";
    return false;
  }
#ifdef TARVIUM_FAULT_SEAM
  registry_->RefuseWritesBelow(config_.szRefusedRegistryKey);
#endif
  files_ = std::make_unique<EmulatedFileSystem>(dir_, config_, *registry_);
#ifdef TARVIUM_FAULT_SEAM
  files_->SetFaultPlan(
      {.nKillingWrite = config_.nKillingWrite, .nKillingBeforeWrite = config_.nKillingBeforeWrite});
#endif
  profile_ = std::make_unique<DeviceSettingsProfile>(*files_, config_.szWindowsDir, *registry_);
  accounts_ = std::make_unique<EmulatedAccounts>(config_, *registry_, files_.get());
  system_ = std::make_unique<EmulatedSystemInfo>(config_, *registry_, accounts_.get());
  environment_ =
      std::make_unique<EmulatedEnvironment>(config_, *system_, *registry_, hostVariables);
  environment_->SetVariable("TARVIUM_MACHINE", dir_);
  std::string systemDir, windowsDir;
  system_->GetSpecialFolder(SpecialFolder::System, systemDir);
  system_->GetSpecialFolder(SpecialFolder::Windows, windowsDir);
  HostProcessesConfig processes;
  processes.mapPath = [files = files_.get()](const std::string& windowsPath,
                                             std::string& hostPath) {
    files->FlushMetadata();  // a program started now sees the attributes set before
    return files->GetHostPath(windowsPath, hostPath);
  };
  processes.searchDirectories = {systemDir, windowsDir};
  processes.exitCodeDirectory = dir_;
  processes.machineDirectory = dir_;
  processes.engineCandidates = EngineCandidatesOf(dir_, config_, hostVariables);
  processes.writeFile = [files = files_.get()](const std::string& windowsPath,
                                               const std::string& bytes) {
    return files->WriteWholeFile(windowsPath, bytes);
  };
  processes.checkLogon = [accounts = accounts_.get()](const std::string& domain,
                                                      const std::string& userName,
                                                      const std::string& password) {
    return accounts->LogonUser(domain, userName, password);
  };
  processes_ = std::make_unique<HostProcesses>(std::move(processes));
  power_ = std::make_unique<MachinePower>(dir_ + "/power_request.txt");
  modules_ = std::make_unique<EmulatedModules>(dir_, *files_, *registry_);
  network_ = std::make_unique<EmulatedNetwork>(config_.adapters);
  clipboard_ = std::make_unique<MachineClipboard>(dir_ + "/clipboard.txt");
  dde_ = std::make_unique<EmulatedDde>(*files_, *system_);
  broadcast_ = std::make_unique<MachineBroadcast>(dir_ + "/broadcasts.txt");
  fonts_ = std::make_unique<MachineFonts>(*files_);
  pipes_ = std::make_unique<SocketPipes>(dir_ + "/pipe");
  windows_ = std::make_unique<MachineWindows>(dir_ + "/windows");
  spooler_ = std::make_unique<EmulatedSpooler>(config_, *registry_, *files_);
  services_ = std::make_unique<EmulatedServices>(
      ServicesContext{*registry_, *environment_, *processes_, dir_ + "/services", systemDir});
  accessLists_ = std::make_unique<EmulatedAccessLists>(*registry_, *files_, *accounts_, *spooler_);
  odbc_ = std::make_unique<EmulatedOdbcInstaller>(*registry_, *profile_,
                                                  config_.szOdbcInstallerVersion, systemDir);
  com_ = std::make_unique<EmulatedComLibrary>(config_, *files_, *registry_);
  registry_->SetKeyDeletedListener(
      [lists = accessLists_.get()](RegRoot root, const std::string& keyPath) {
        lists->ForgetRegistryKey(root, keyPath);
      });
  return true;
}

bool EmulatedMachine::Exists(const std::string& hostDir) {
  std::error_code ec;
  return fs::exists(ConfigFile(hostDir), ec);
}

std::string EmulatedMachine::DefaultDirectory() {
  if (!IsDefaultUnnamed()) return std::getenv("TARVIUM_MACHINE");
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/.local/share/tarvium/machine";
}

bool EmulatedMachine::IsDefaultUnnamed() {
  const char* dir = std::getenv("TARVIUM_MACHINE");
  return !dir || !*dir;
}

std::vector<std::string> EmulatedMachine::HostVariables() {
  std::vector<std::string> variables;
  for (char** entry = environ; entry && *entry; ++entry) variables.emplace_back(*entry);
  return variables;
}

void EmulatedMachine::TakeHostCurrentDirectory() {
  std::string windowsDir;
  if (files_->GetWindowsPath(HostCurrentDirectory(), windowsDir))
    files_->SetCurrentDirectory(windowsDir);
}

}  // namespace platform::emulated
