#include "script/script_engine.h"

#include "engine/setup_run.h"
#include "script/crypt/decrypt_value.h"
#include "script/file_version_info.h"
#include "script/function_assignment.h"
#include "script/language_choice.h"
#include "script/launch_program.h"
#include "script/message_catalog.h"
#include "script/prompt_page.h"
#include "script/show_catalog_message.h"

namespace tarvium {
namespace {

bool LaunchForEngine(SetupRun& run, const std::string& commandLine, bool bWait,
                     uint32_t& dwExitCode) {
  uint32_t dwError = 0;
  const bool bStarted =
      LaunchProgram(run, commandLine, "", "", false, bWait, false, &dwError, &dwExitCode, "");
  return bStarted && dwError == 0;
}

}  // namespace

void AttachScriptEngine(SetupRun& run) {
  run.script.decryptGuard = Tarvium::DecryptGuard;
  run.script.isNonEmptyEncryptedValue = [](SetupRun&, std::string_view text) {
    return Tarvium::IsNonEmptyEncryptedValue(text);
  };
  run.script.evaluateAssignment = EvaluateFunctionAssignment;
  run.script.showMessage = ShowCatalogMessage;
  run.script.fileLanguage = GetFirstTranslationLanguage;
  run.script.initMessageCatalog = InitMessageCatalog;
  run.script.chooseLanguage = [](SetupRun& r) { ChooseLanguage(r); };
  run.script.attachErrorFile = AttachErrorFileToMessages;
  run.script.launchProgram = LaunchForEngine;
  run.script.askPrompt = AskPromptPage;
}

}  // namespace tarvium
