// The emulated Windows machine: a directory holding machine.ini, the C: drive (drive_c/), the
// registry (registry.db), the file metadata (files.db), the clipboard (clipboard.txt), the
// named pipes (pipe/), the windows its programs announced (windows/) and the run-time state of
// its services (services/). Opening it builds every
// service over that directory; creating it lays out a Windows 10 installation: its folders, the
// registry values Windows keeps about them and its built-in accounts.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/emulated/accounts/emulated_accounts.h"
#include "platform/emulated/com/emulated_com_library.h"
#include "platform/emulated/files/emulated_file_system.h"
#include "platform/emulated/machine/emulated_environment.h"
#include "platform/emulated/machine/emulated_network.h"
#include "platform/emulated/machine/emulated_system_info.h"
#include "platform/emulated/machine/host_clock.h"
#include "platform/emulated/machine/host_console.h"
#include "platform/emulated/machine/host_debugger_output.h"
#include "platform/emulated/machine/machine_broadcast.h"
#include "platform/emulated/machine/machine_fonts.h"
#include "platform/emulated/machine/machine_clipboard.h"
#include "platform/emulated/machine/machine_config.h"
#include "platform/emulated/machine/machine_power.h"
#include "platform/emulated/machine/machine_windows.h"
#include "platform/emulated/odbc/emulated_odbc_installer.h"
#include "platform/emulated/pipes/socket_pipes.h"
#include "platform/emulated/processes/emulated_modules.h"
#include "platform/emulated/processes/host_processes.h"
#include "platform/emulated/registry/registry_sqlite.h"
#include "platform/emulated/security/emulated_access_lists.h"
#include "platform/emulated/services/emulated_services.h"
#include "platform/emulated/shell/emulated_dde.h"
#include "platform/device_settings_profile.h"
#include "platform/emulated/spooler/emulated_spooler.h"
#include "platform/ini_profile.h"
#include "platform/machine.h"

namespace platform::emulated {

// What a new machine is made with. The names are UTF-8, as a person types them. A user name the
// ANSI code page cannot hold reads on the machine as Windows' ANSI functions give it, a '?' for
// each such character: no ANSI path names that user's profile folder (Windows refuses the '?'),
// which lies on the host under the whole name, and the machine's temporary folder is then
// C:\Windows\Temp, which an ANSI program can use.
struct MachineIdentity {
  std::string userName = "User";
  std::string computerName = "TARVIUM-PC";
  uint16_t wLanguage = 0x0409;  // 0x0407 de-DE, 0x040C fr-FR
  std::string engine;           // host path for machine.ini's Engine= (engine_image.h); or none
};

class EmulatedMachine final : public Machine {
 public:
  // Lays out a new machine in hostDir (created when missing; refused when it holds a machine).
  static bool Create(const std::string& hostDir, const MachineIdentity& identity,
                     std::string& error);
  // Opens the machine in hostDir, creating one of identityIfNew first when the directory holds
  // none (then *pbCreated is set, when given). hostVariables ("NAME=value", UTF-8) are laid over
  // the machine's environment; the machine's own settings among them (TARVIUM_DEBUG_OUTPUT) are
  // taken from there too.
  static std::unique_ptr<EmulatedMachine> Open(const std::string& hostDir,
                                               const std::vector<std::string>& hostVariables,
                                               std::string& error,
                                               const MachineIdentity& identityIfNew = {},
                                               bool* pbCreated = nullptr);
  // Whether hostDir holds a machine (its machine.ini).
  static bool Exists(const std::string& hostDir);
  // TARVIUM_MACHINE, or ~/.local/share/tarvium/machine.
  static std::string DefaultDirectory();
  // Whether TARVIUM_MACHINE names no machine, so that DefaultDirectory is the user's data folder.
  static bool IsDefaultUnnamed();
  // The environment of this host process, for Open.
  static std::vector<std::string> HostVariables();

  // The host's current directory, when one of the machine's drives holds it, becomes the
  // machine's, so that a program started in a folder names its files relative to it.
  void TakeHostCurrentDirectory();

  FileSystem& Files() override { return *files_; }
  Registry& Reg() override { return *registry_; }
  Profile& Profiles() override { return *profile_; }
  Environment& Env() override { return *environment_; }
  SystemInfo& System() override { return *system_; }
  Processes& Programs() override { return *processes_; }
  Clock& Time() override { return clock_; }
  Power& PowerRequests() override { return *power_; }
  Network& Net() override { return *network_; }
  Console& Output() override { return console_; }
  DebuggerOutput& Debugger() override { return debugger_; }
  Modules& Libraries() override { return *modules_; }
  Accounts& Users() override { return *accounts_; }
  Clipboard& Clip() override { return *clipboard_; }
  Dde& DdeServers() override { return *dde_; }
  WindowBroadcast& Broadcasts() override { return *broadcast_; }
  FontTable& Fonts() override { return *fonts_; }
  NamedPipes& Pipes() override { return *pipes_; }
  TopLevelWindows& TopWindows() override { return *windows_; }
  Spooler& Printing() override { return *spooler_; }
  ServiceManager& Services() override { return *services_; }
  AccessControl& Access() override { return *accessLists_; }
  OdbcInstaller& Odbc() override { return *odbc_; }
  ComLibrary& Com() override { return *com_; }

  const std::string& Directory() const { return dir_; }
  const MachineConfig& Config() const { return config_; }
  SqliteRegistry& SqlRegistry() { return *registry_; }
  EmulatedFileSystem& EmulatedFiles() { return *files_; }
  HostClock& EmulatedClock() { return clock_; }
  EmulatedAccounts& EmulatedUsers() { return *accounts_; }
  MachineWindows& EmulatedWindows() { return *windows_; }
  EmulatedServices& EmulatedServiceManager() { return *services_; }

 private:
  EmulatedMachine() = default;
  bool Build(const std::string& hostDir, const std::vector<std::string>& hostVariables,
             std::string& error);

  std::string dir_;
  MachineConfig config_;
  HostClock clock_;
  HostConsole console_;
  HostDebuggerOutput debugger_;
  std::unique_ptr<SqliteRegistry> registry_;
  std::unique_ptr<EmulatedFileSystem> files_;
  std::unique_ptr<DeviceSettingsProfile> profile_;
  std::unique_ptr<EmulatedSystemInfo> system_;
  std::unique_ptr<EmulatedEnvironment> environment_;
  std::unique_ptr<HostProcesses> processes_;
  std::unique_ptr<MachinePower> power_;
  std::unique_ptr<EmulatedModules> modules_;
  std::unique_ptr<EmulatedNetwork> network_;
  std::unique_ptr<EmulatedAccounts> accounts_;
  std::unique_ptr<MachineClipboard> clipboard_;
  std::unique_ptr<EmulatedDde> dde_;
  std::unique_ptr<MachineBroadcast> broadcast_;
  std::unique_ptr<MachineFonts> fonts_;
  std::unique_ptr<SocketPipes> pipes_;
  std::unique_ptr<MachineWindows> windows_;
  std::unique_ptr<EmulatedSpooler> spooler_;
  std::unique_ptr<EmulatedServices> services_;
  std::unique_ptr<EmulatedAccessLists> accessLists_;
  std::unique_ptr<EmulatedOdbcInstaller> odbc_;
  std::unique_ptr<EmulatedComLibrary> com_;
};

}  // namespace platform::emulated
