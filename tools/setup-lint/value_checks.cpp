// The lengths come from the product identity's own tables (SizedIdentityKeys), the decryption
// from the guard every consumer of an encrypted value goes through (GuardDecrypt), so neither
// rule keeps a list of its own.
#include "value_checks.h"

#include <string>

#include "engine/ansi_text.h"
#include "engine/inf_reader.h"
#include "engine/product_identity.h"
#include "engine/replace_variables.h"
#include "script/crypt/decrypt_value.h"

namespace tarvium::lint {

// The engine reads each key into its room and cuts what does not fit, without a word.
void CheckValueLengths(const InfFile& inf, const LineNumbers& numbers, LintReport& report) {
  for (const SizedKey& key : SizedIdentityKeys()) {
    std::string value;
    if (!GetValue(inf, key.section, key.key, value, kVariableLineSize)) continue;
    const size_t nRoom = key.nSize - 1;
    if (value.size() <= nRoom) continue;
    report.Add(numbers.LineOf(FindKeyLine(inf, key.section, key.key)), Severity::Warning,
               "value-too-long",
               std::string(key.key) + " in [" + std::string(key.section) + "] has " +
                   std::to_string(value.size()) + " characters; the engine keeps the first " +
                   std::to_string(nRoom));
  }
}

// [Encryption] holds "Name=value" lines whose values are decrypted when the variables are
// loaded; a value that refers to a variable is known only then.
void CheckEncryptedValues(const InfFile& inf, const LineNumbers& numbers, LintReport& report) {
  ForEachSectionLine(
      inf, numbers, FindSection(inf, "Encryption"), [&](const std::string& line, int nLine) {
        const std::string_view text = TrimAnsi(line);
        const size_t nEquals = text.find('=');
        if (nEquals == std::string_view::npos) return;
        std::string value(text.substr(nEquals + 1));
        if (value.find('%') != std::string::npos) return;
        const Tarvium::GuardOutcome outcome = Tarvium::GuardDecrypt(value);
        if (outcome == Tarvium::GuardOutcome::AesRefused)
          report.Add(nLine, Severity::Error, "bad-encrypted-value",
                     "an AES value (\"X...\") is not decrypted here: the variable keeps the "
                     "encrypted text");
        else if (outcome == Tarvium::GuardOutcome::Undecryptable)
          report.Add(nLine, Severity::Error, "bad-encrypted-value",
                     "encrypted value does not decrypt (damaged or changed): the variable keeps "
                     "the encrypted text");
      });
}

void CheckAdminDirectory(const InfFile& inf, const LineNumbers& numbers, LintReport& report) {
  const char* admin = FindSection(inf, "Admin");
  if (!admin) return;
  std::string dir;
  if (GetValue(inf, "Admin", "ApplicationDir", dir, kVariableLineSize) && !dir.empty()) return;
  report.Add(numbers.LineOf(admin) - 1, Severity::Warning, "admin-without-appdir",
             "[Admin] has no ApplicationDir: an administrator setup (/A) takes its application "
             "directory from there and starts with an empty one");
}

}  // namespace tarvium::lint
