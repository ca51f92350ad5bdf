// The engine's questions about encrypted values, in one place so that the variable rules and the
// command line do not need to know how values are encrypted. The script engine answers them
// (ScriptHooks); without it no text counts as encrypted and every text stays as it is.
#pragma once
#include <string>
#include <string_view>

namespace tarvium {

struct SetupRun;

// True when the text is a valid encrypted value whose decrypted form is not empty.
bool IsNonEmptyEncryptedValue(SetupRun& run, std::string_view text);
// Decrypts an encrypted value in place through the guard; any other text stays as it is.
void DecryptGuard(SetupRun& run, std::string& text);

}  // namespace tarvium
