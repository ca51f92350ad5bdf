// The real Windows as the engine's machine: every service calls the system's own functions (the
// ANSI forms, since the engine's text is ANSI) and returns the error codes Windows gives. Each
// service lives in its own file of this folder; the machine only holds them.
#pragma once
#include "platform/machine.h"
#include "platform/win32/win32_access_lists.h"
#include "platform/win32/win32_accounts.h"
#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_com_library.h"
#include "platform/win32/win32_console.h"
#include "platform/win32/win32_dde.h"
#include "platform/win32/win32_debugger_output.h"
#include "platform/win32/win32_environment.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_font_table.h"
#include "platform/win32/win32_modules.h"
#include "platform/win32/win32_named_pipes.h"
#include "platform/win32/win32_network.h"
#include "platform/win32/win32_odbc_installer.h"
#include "platform/win32/win32_power.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_profile.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_spooler.h"
#include "platform/win32/win32_system_info.h"
#include "platform/win32/win32_top_level_windows.h"
#include "platform/win32/win32_window_broadcast.h"

namespace platform::win32 {

class Win32Machine final : public Machine {
 public:
  FileSystem& Files() override { return files_; }
  Registry& Reg() override { return registry_; }
  Profile& Profiles() override { return profile_; }
  Environment& Env() override { return environment_; }
  SystemInfo& System() override { return system_; }
  Processes& Programs() override { return processes_; }
  Clock& Time() override { return clock_; }
  Power& PowerRequests() override { return power_; }
  Network& Net() override { return network_; }
  Console& Output() override { return console_; }
  Modules& Libraries() override { return modules_; }
  DebuggerOutput& Debugger() override { return debugger_; }
  Accounts& Users() override { return accounts_; }
  Clipboard& Clip() override { return clipboard_; }
  Dde& DdeServers() override { return dde_; }
  WindowBroadcast& Broadcasts() override { return broadcasts_; }
  FontTable& Fonts() override { return fonts_; }
  NamedPipes& Pipes() override { return pipes_; }
  TopLevelWindows& TopWindows() override { return windows_; }
  Spooler& Printing() override { return spooler_; }
  ServiceManager& Services() override { return services_; }
  AccessControl& Access() override { return accessLists_; }
  OdbcInstaller& Odbc() override { return odbc_; }
  ComLibrary& Com() override { return com_; }

 private:
  Win32FileSystem files_;
  Win32Registry registry_;
  Win32Profile profile_;
  Win32Environment environment_;
  Win32SystemInfo system_;
  Win32Processes processes_;
  Win32Clock clock_;
  Win32Power power_;
  Win32Network network_;
  Win32Console console_;
  Win32Modules modules_;
  Win32DebuggerOutput debugger_;
  Win32Accounts accounts_;
  Win32Clipboard clipboard_;
  Win32Dde dde_;
  Win32WindowBroadcast broadcasts_;
  Win32FontTable fonts_;
  Win32NamedPipes pipes_;
  Win32TopLevelWindows windows_;
  Win32Spooler spooler_;
  Win32Services services_;
  Win32AccessLists accessLists_;
  Win32OdbcInstaller odbc_;
  Win32ComLibrary com_;
};

}  // namespace platform::win32
