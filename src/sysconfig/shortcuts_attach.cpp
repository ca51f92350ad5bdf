// One ShortcutState per run, shared by the Shell and Progman handlers and the installation
// engine's link hooks and the script's DDE line through the closures registered here.
#include "engine/setup_run.h"
#include "install/install_engine.h"
#include "sysconfig/shortcuts.h"

namespace tarvium {
namespace {

constexpr uint32_t kShellMajorVersion = 4;  // Windows 4.0 brought shell links

}  // namespace

void AttachShortcuts(SetupRun& run) {
  auto state = std::make_shared<ShortcutState>();
  RegisterSectionHandler(run, SectionKind::Shell, [state](SetupRun& r, const HandlerCall& call) {
    return HandleShellSection(r, *state, call.section);
  });
  RegisterSectionHandler(run, SectionKind::Progman, [state](SetupRun& r, const HandlerCall& call) {
    return HandleProgmanSection(r, *state, call.section);
  });
  run.commands.progmanCommand = [state](SetupRun& r, const std::string& command) {
    return ProgmanCommand(r, *state, command);
  };
  ConfigurationHooks& hooks = EngineOf(run).configuration;
  hooks.createShellLink = [state](SetupRun& r, const std::string& link, const std::string& fields) {
    return CreateShellLinkAt(r, *state, link, fields);
  };
  hooks.createEngineLink = [state](SetupRun& r, const std::string& link,
                                   const std::string& fields) {
    return CreateEngineLinkAt(r, *state, link, fields);
  };
  hooks.createOptionLinks = [state](SetupRun& r) {
    if (r.machine.System().OsVersion().dwMajorVersion < kShellMajorVersion)
      return HandleProgmanSection(r, *state, "Progman");
    return CreateOptionLinks(r, *state, 0);
  };
}

}  // namespace tarvium
