// Decryption through the crypt object that the value's first character selects; the guard's
// refusals are written as the debug lines a trace reader looks for.
#include "script/crypt/decrypt_value.h"

#include "engine/debug_output.h"
#include "script/crypt/crypt_factory.h"

namespace Tarvium {

namespace {

// 0: plain text; 1: decrypted into plain; -1: an encrypted form that does not decrypt.
int TryDecrypt(std::string_view text, std::string& plain) {
  const auto crypt = CreateCrypt(EncryptedValueKind(text));
  if (!crypt) return 0;
  return crypt->Decrypt(text, plain) ? 1 : -1;
}

}  // namespace

bool DecryptValue(std::string& text) {
  std::string plain;
  const int nResult = TryDecrypt(text, plain);
  if (nResult == 1) text = std::move(plain);
  return nResult >= 0;
}

GuardOutcome GuardDecrypt(std::string& text) {
  if (text.empty()) return GuardOutcome::Empty;
  if (text[0] == 'X') return GuardOutcome::AesRefused;
  std::string plain;
  switch (TryDecrypt(text, plain)) {
    case 0:
      return GuardOutcome::Plain;
    case 1:
      text = std::move(plain);
      return GuardOutcome::Decrypted;
    default:
      return GuardOutcome::Undecryptable;
  }
}

bool DecryptGuard(tarvium::SetupRun& run, std::string& text) {
  switch (GuardDecrypt(text)) {
    case GuardOutcome::Empty:
      tarvium::DebugOutput(run, "An empty string will not be decrypted\r\n");
      return true;
    case GuardOutcome::AesRefused:
      tarvium::DebugOutput(run, "AES decryption is not allowed here\r\n");
      return false;
    case GuardOutcome::Undecryptable:
      return false;
    default:
      return true;
  }
}

bool IsNonEmptyEncryptedValue(std::string_view text) {
  std::string plain;
  return TryDecrypt(text, plain) == 1 && !plain.empty();
}

}  // namespace Tarvium
