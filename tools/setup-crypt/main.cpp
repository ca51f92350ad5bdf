// setup-crypt: writes a password or other sensitive value in one of the encrypted forms that
// Setup.exe decrypts where it reads it, and decrypts such a value back to check it. It uses the
// engine's own crypt classes, so a value it writes is exactly what the engine reads.
// Usage: setup-crypt encrypt [--form star|tilde|fixed|sync|aes] TEXT | decrypt VALUE | --help |
// --version
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/code_page.h"
#include "platform/local_services.h"
#include "script/crypt/aes_decrypt.h"
#include "script/crypt/crypt_factory.h"
#include "script/crypt/decrypt_value.h"
#include "script/crypt/fixed_crypt.h"
#include "script/crypt/scramble_value.h"
#include "script/crypt/setup_crypt.h"
#include "script/crypt/sync_decrypt.h"
#include "standard_answers.h"

namespace {

constexpr const char* kUsage =
    "usage: setup-crypt encrypt [--form FORM] TEXT   write TEXT as an encrypted value\n"
    "       setup-crypt decrypt VALUE                the plain text of an encrypted value\n"
    "       setup-crypt --version                    the version of the program\n"
    "FORM (default sync):\n"
    "  sync   \"#\" + hex: DES-EDE2 with an HMAC-SHA1 check; a changed value fails\n"
    "  fixed  \"A\" + 40 hex digits + \"X\": always 42 characters; TEXT of at most 19 characters\n"
    "  tilde  \"~\" + key letter + hex: scrambled, survives any character set\n"
    "  star   \"*\" + key letter + scrambled characters: the form of recorded prompt answers\n"
    "  aes    \"X\" + hex: AES-256-CBC; Setup.exe does not decrypt it where it reads passwords\n";

int Fail(int nExit, const std::string& message) {
  std::fprintf(stderr, "setup-crypt: %s\n", message.c_str());
  return nExit;
}

int Print(const std::string& ansiText) {
  platform::OpenLocalConsole()->WriteLine(ansiText);
  return 0;
}

// A character that reads back the same from a terminal or a UTF-8 file: no control characters.
bool IsPrintable(char c) {
  const char16_t u = platform::AnsiCharToUnicode(static_cast<unsigned char>(c));
  return u >= 0x20 && (u < 0x7F || u > 0x9F);
}

// The scrambled form with the tick count's key letter, or the next letter that gives only
// printable characters; false when no key letter does.
bool ScrambleToPrintable(const std::string& text, std::string& value) {
  const uint64_t nTick = platform::OpenLocalClock()->GetTickCount64();
  for (uint64_t nTry = 0; nTry < 26; ++nTry) {
    value = text;
    if (!Tarvium::ScrambleValue(value, nTick + nTry)) return false;
    bool bPrintable = true;
    for (char c : value) bPrintable = bPrintable && IsPrintable(c);
    if (bPrintable) return true;
  }
  return false;
}

int Encrypt(std::string_view form, const std::string& text) {
  std::string value;
  if (form == "sync") {
    if (!Tarvium::CSyncDecrypt().MakeValue(text, value)) return Fail(1, "encryption failed");
  } else if (form == "aes") {
    if (!Tarvium::CAESDecrypt().MakeValue(text, value)) return Fail(1, "encryption failed");
  } else if (form == "tilde") {
    Tarvium::CSetupCrypt(2).Encrypt(text, value);
  } else if (form == "fixed") {
    if (!Tarvium::CFixedCrypt().Encrypt(text, value))
      return Fail(1, "the text is too long for the fixed form (at most " +
                         std::to_string(Tarvium::CFixedCrypt::kMaxTextLength) + " characters)");
  } else if (form == "star") {
    if (text.size() > Tarvium::kMaxScrambleLength)
      return Fail(1, "the text is too long for the star form (at most " +
                         std::to_string(Tarvium::kMaxScrambleLength) + " characters)");
    if (!ScrambleToPrintable(text, value))
      return Fail(1, "the star form of this text is not printable; use --form tilde");
  } else {
    return Fail(2, "unknown form '" + std::string(form) + "' (star, tilde, fixed, sync, aes)");
  }
  return Print(value);
}

int Decrypt(const std::string& value) {
  if (Tarvium::EncryptedValueKind(value) == Tarvium::kCryptNone)
    return Fail(1, "not an encrypted value: Setup.exe uses it as it is written");
  std::string text = value;
  if (!Tarvium::DecryptValue(text))
    return Fail(1, "the value does not decrypt: it is damaged or was changed");
  return Print(text);
}

}  // namespace

int main(int argc, char** argv) {
  if (const auto answered = tarvium::AnswerVersionOrUsage(argc, argv, "setup-crypt", kUsage))
    return *answered;
  const std::string_view command = argc > 1 ? argv[1] : "";
  if (command == "decrypt" && argc == 3) return Decrypt(platform::ArgumentAsAnsi(argv[2]));
  // A text that starts with "--" needs an explicit form, so that a misspelt option is not
  // taken for the text.
  if (command == "encrypt" && argc == 3 && std::strncmp(argv[2], "--", 2) != 0)
    return Encrypt("sync", platform::ArgumentAsAnsi(argv[2]));
  if (command == "encrypt" && argc == 5 && std::strcmp(argv[2], "--form") == 0)
    return Encrypt(argv[3], platform::ArgumentAsAnsi(argv[4]));
  if (command != "encrypt" && command != "decrypt")
    return Fail(2, command.empty() ? "no command (try --help)"
                                   : "unknown command '" + std::string(command) + "' (try --help)");
  return Fail(2, "wrong arguments for " + std::string(command) + " (try --help)");
}
