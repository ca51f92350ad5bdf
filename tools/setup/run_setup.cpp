#include "run_setup.h"

#include <algorithm>

#include "engine/main_sequence.h"
#include "engine/setup_run.h"
#include "install/install_engine.h"
#include "install/installation_run.h"
#include "install/installed_product.h"
#include "platform/command_line_args.h"
#include "script/message_catalog.h"
#include "script/message_spec.h"
#include "script/script_engine.h"
#include "script/user_interface_link.h"
#include "service/setup_service_pipe.h"
#include "sysconfig/system_configuration.h"
#include "ui/create_user_interface.h"

namespace tarvium::setup {

std::string CommandText(const std::vector<std::string>& arguments) {
  std::string text;
  for (const std::string& given : arguments) {
    const std::string argument = platform::IsHelpArgument(given) ? "/?" : given;
    if (!text.empty()) text += ' ';
    const bool bQuote = argument.find_first_of(" \t") != std::string::npos;
    text += bQuote ? "\"" + argument + "\"" : argument;
  }
  return text;
}

bool AsksForUsageText(const std::vector<std::string>& arguments) {
  return std::any_of(arguments.begin(), arguments.end(), [](const std::string& argument) {
    return platform::IsHelpArgument(argument) && argument != "/?";
  });
}

std::string UsageText() {
  MessageSpec usage;
  ParseMessageSpec(CatalogEntry(CatalogLanguage::English, 5541).value_or(""), usage);
  return usage.textTemplate + "\nEvery switch and exit code: man tarvium-setup.";
}

int32_t RunSetup(platform::Machine& machine, const std::string& exePath,
                 const std::string& commandText) {
  SetupRun run(machine);
  run.bKeepDebugLines = false;
  AttachScriptEngine(run);
  AttachInstalledProduct(run);
  AttachInstallEngine(run);
  AttachInstallationRun(run);
  AttachSystemConfiguration(run);
  AttachServicePipe(run);
  ConnectUserInterface(run, ui::CreateUserInterface(machine));
  run.sequence.szExePath = exePath;
  run.ctx.szExeDir = exePath.substr(0, exePath.rfind('\\'));
  return WinMain(run, commandText);
}

}  // namespace tarvium::setup
