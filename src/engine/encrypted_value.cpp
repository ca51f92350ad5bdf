#include "engine/encrypted_value.h"

namespace tarvium {

bool IsNonEmptyEncryptedValue(SetupRun&, std::string_view) {
  return false;
}

void DecryptValue(SetupRun&, std::string&) {}

}  // namespace tarvium
