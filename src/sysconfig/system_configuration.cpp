#include "sysconfig/system_configuration.h"

#include "engine/setup_run.h"
#include "install/install_engine.h"
#include "sysconfig/file_registrations.h"
#include "sysconfig/ini_section.h"
#include "sysconfig/ip_config_section.h"
#include "sysconfig/odbc_section.h"
#include "sysconfig/reg_lines.h"
#include "sysconfig/security_commands.h"
#include "sysconfig/services.h"
#include "sysconfig/shortcuts.h"
#include "sysconfig/startup_sections.h"
#include "sysconfig/update_counter.h"

namespace tarvium {

void AttachSystemConfiguration(SetupRun& run) {
  AttachShortcuts(run);
  RegisterSectionHandler(run, SectionKind::IniFile, [](SetupRun& r, const HandlerCall& call) {
    return HandleIniSection(r, call.section, call.file, call.dwSectionFlags);
  });
  RegisterSectionHandler(run, SectionKind::AutoexecBat, [](SetupRun& r, const HandlerCall& call) {
    return HandleBatSection(r, call.section, call.file);
  });
  RegisterSectionHandler(run, SectionKind::BatchFile, [](SetupRun& r, const HandlerCall& call) {
    return HandleBatSection(r, call.section, call.file);
  });
  RegisterSectionHandler(run, SectionKind::ConfigSys, [](SetupRun& r, const HandlerCall& call) {
    return HandleConfigSysSection(r, call.section, call.file);
  });
  RegisterSectionHandler(run, SectionKind::Registry, [](SetupRun& r, const HandlerCall& call) {
    return HandleRegSection(r, call.section, call.dwSectionFlags);
  });
  RegisterSectionHandler(run, SectionKind::Odbc, [](SetupRun& r, const HandlerCall& call) {
    return HandleOdbcSection(r, call.section, call.bInstalledBefore, call.bCarryOut);
  });
  RegisterSectionHandler(run, SectionKind::Security, [](SetupRun& r, const HandlerCall& call) {
    return HandleSecuritySection(r, call.section, call.bInstalledBefore, call.bCarryOut);
  });
  EngineOf(run).configuration.runSecurityLine = [](SetupRun& r, const std::string& line) {
    return RunSecurityCommand(r, line, false, false, false);
  };
  RegisterSectionHandler(run, SectionKind::IpFiles, [](SetupRun& r, const HandlerCall& call) {
    return HandleIpConfigSection(r, call.section, call.bCarryOut);
  });
  AttachServices(run);
  ConfigurationHooks& hooks = EngineOf(run).configuration;
  hooks.updateFont = [](SetupRun& r, const std::string& path, const std::string& name, bool bAdd) {
    return bAdd ? AddFont(r, name, path) : RemoveFont(r, name, path);
  };
  hooks.registerServer = [](SetupRun& r, const std::string& path, bool bRegister) {
    return bRegister ? RegisterComServer(r, path) : UnregisterComServer(r, path);
  };
  hooks.registerAssembly = RegisterAssembly;
  run.commands.updateCounter = UpdateCounter;
}

}  // namespace tarvium
