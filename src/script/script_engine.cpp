#include "script/script_engine.h"

#include "engine/setup_run.h"
#include "script/crypt/decrypt_value.h"
#include "script/file_version_info.h"
#include "script/function_assignment.h"
#include "script/show_catalog_message.h"

namespace tarvium {

void AttachScriptEngine(SetupRun& run) {
  run.script.decryptGuard = Tarvium::DecryptGuard;
  run.script.isNonEmptyEncryptedValue = [](SetupRun&, std::string_view text) {
    return Tarvium::IsNonEmptyEncryptedValue(text);
  };
  run.script.evaluateAssignment = EvaluateFunctionAssignment;
  run.script.showMessage = ShowCatalogMessage;
  run.script.fileLanguage = GetFirstTranslationLanguage;
}

}  // namespace tarvium
