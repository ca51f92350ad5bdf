// A machine that lets a whole setup run against another machine without changing it: every change
// the run asks for is laid into an overlay and logged instead of being made, and every question is
// answered from the overlay first and from the wrapped machine otherwise, so that the run sees its
// own earlier changes as on a real run. The log (Changes) is what a plan run writes out. Console,
// debugger output, clock, system information and named pipes change nothing and pass through.
#pragma once
#include <string>
#include <vector>

#include "platform/device_settings_profile.h"
#include "platform/machine.h"
#include "platform/recording/machine_change.h"
#include "platform/recording/overlay_environment.h"
#include "platform/recording/overlay_file_system.h"
#include "platform/recording/overlay_registry.h"
#include "platform/recording/recording_accounts.h"
#include "platform/recording/recording_desktop.h"
#include "platform/recording/recording_odbc.h"
#include "platform/recording/recording_processes.h"
#include "platform/recording/recording_services.h"
#include "platform/recording/recording_spooler.h"

namespace platform {

class RecordingMachine final : public Machine {
 public:
  explicit RecordingMachine(Machine& wrapped);

  const std::vector<MachineChange>& Changes() const { return m_changes.Changes(); }

  FileSystem& Files() override { return m_files; }
  Registry& Reg() override { return m_registry; }
  Profile& Profiles() override { return m_profile; }
  Environment& Env() override { return m_environment; }
  SystemInfo& System() override { return m_wrapped.System(); }
  Processes& Programs() override { return m_processes; }
  Clock& Time() override { return m_wrapped.Time(); }
  Power& PowerRequests() override { return m_power; }
  Network& Net() override { return m_network; }
  Console& Output() override { return m_wrapped.Output(); }
  Modules& Libraries() override { return m_modules; }
  DebuggerOutput& Debugger() override { return m_wrapped.Debugger(); }
  Accounts& Users() override { return m_accounts; }
  Clipboard& Clip() override { return m_clipboard; }
  Dde& DdeServers() override { return m_dde; }
  WindowBroadcast& Broadcasts() override { return m_broadcast; }
  FontTable& Fonts() override { return m_fonts; }
  NamedPipes& Pipes() override { return m_wrapped.Pipes(); }
  TopLevelWindows& TopWindows() override { return m_windows; }
  Spooler& Printing() override { return m_spooler; }
  ServiceManager& Services() override { return m_services; }
  AccessControl& Access() override { return m_access; }
  OdbcInstaller& Odbc() override { return m_odbc; }
  ComLibrary& Com() override { return m_com; }

 private:
  Machine& m_wrapped;
  ChangeLog m_changes;
  OverlayFileSystem m_files;
  OverlayRegistry m_registry;
  // INI files over the overlay, with Win.ini's device settings in the overlay registry where
  // Windows maps them.
  DeviceSettingsProfile m_profile;
  OverlayEnvironment m_environment;
  RecordingProcesses m_processes;
  RecordingPower m_power;
  RecordingNetwork m_network;
  RecordingModules m_modules;
  RecordingAccounts m_accounts;
  RecordingClipboard m_clipboard;
  RecordingDde m_dde;
  RecordingBroadcast m_broadcast;
  RecordingFonts m_fonts;
  RecordingWindows m_windows;
  RecordingSpooler m_spooler;
  RecordingServices m_services;
  RecordingAccess m_access;
  RecordingOdbc m_odbc;
  RecordingComLibrary m_com;
};

}  // namespace platform
