// Where the engine meets its encrypted values: DecryptValue replaces an encrypted value by its
// plain text, DecryptGuard is what every consumer of a password calls, and
// IsNonEmptyEncryptedValue answers the variable rules. AttachScriptEngine installs the last two
// as the run's hooks.
#pragma once
#include <string>
#include <string_view>

namespace tarvium {
struct SetupRun;
}

namespace Tarvium {

// Replaces an encrypted value in text by its plain text and returns true; a plain value stays
// as it is (true). False when the value has an encrypted form but cannot be decrypted; text
// then stays unchanged.
bool DecryptValue(std::string& text);

// What the guard makes of a value: left as it is (empty, plain text), decrypted, or refused.
enum class GuardOutcome { Empty, Plain, Decrypted, AesRefused, Undecryptable };

// The guard's decision as a pure function: decrypts text in place when it is Decrypted.
GuardOutcome GuardDecrypt(std::string& text);

// DecryptValue for the consumers of passwords, except that it leaves an empty text alone (true)
// and a text starting with "X" too (false): AES values are not decrypted where passwords are
// read. Each refusal writes its line to the debug output.
bool DecryptGuard(tarvium::SetupRun& run, std::string& text);

// True when text is an encrypted value that decrypts, and to a text that is not empty.
bool IsNonEmptyEncryptedValue(std::string_view text);

}  // namespace Tarvium
