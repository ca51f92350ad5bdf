#include "engine/encrypted_value.h"

#include "engine/setup_run.h"

namespace tarvium {

bool IsNonEmptyEncryptedValue(SetupRun& run, std::string_view text) {
  return run.script.isNonEmptyEncryptedValue && run.script.isNonEmptyEncryptedValue(run, text);
}

void DecryptGuard(SetupRun& run, std::string& text) {
  if (run.script.decryptGuard) run.script.decryptGuard(run, text);
}

}  // namespace tarvium
