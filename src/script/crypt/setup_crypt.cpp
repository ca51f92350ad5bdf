// The four modes of CSetupCrypt; the formats are described with the class.
#include "script/crypt/setup_crypt.h"

#include "script/crypt/digests.h"
#include "script/crypt/product_secrets.h"
#include "script/crypt/scramble_value.h"

namespace Tarvium {

namespace {

constexpr std::string_view kSalt = "zq58";

// The key letter of the "~" form: from the text itself, so that encryption is repeatable.
char KeyLetterOf(std::string_view text) {
  unsigned nSum = 0;
  for (char c : text) nSum += static_cast<unsigned char>(c);
  return static_cast<char>('A' + nSum % 26);
}

std::string_view SetupKey() {
  return {reinterpret_cast<const char*>(secrets::kSetupKey.data()), secrets::kSetupKey.size()};
}

// Byte i is XORed with key byte i modulo the key length and with i itself, so that repeated
// characters do not give repeated bytes. Its own inverse.
std::string KeyStream(std::string_view bytes) {
  std::string out(bytes);
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<char>(out[i] ^ secrets::kSetupKey[i % secrets::kSetupKey.size()] ^ i);
  return out;
}

}  // namespace

bool CSetupCrypt::Encrypt(std::string_view text, std::string& out) const {
  switch (nMode_) {
    case 1:
      out = BytesToHex(KeyStream(text));
      return true;
    case 2: {
      const char cKey = KeyLetterOf(text);
      out = std::string("~") + cKey + BytesToHex(ScrambleChars(text, cKey));
      return true;
    }
    case 3:
      out = BytesToHex(HmacMd5Digest(SetupKey(), text));
      return true;
    case 4:
      out = BytesToHex(Md5Digest(std::string(text) + std::string(kSalt)));
      return true;
    default:
      return false;
  }
}

bool CSetupCrypt::Decrypt(std::string_view text, std::string& out) const {
  if (nMode_ == 2) return DecryptScrambled(text, out);
  if (nMode_ != 1) return false;
  std::string bytes;
  if (!HexToBytes(text, bytes)) return false;
  out = KeyStream(bytes);
  return true;
}

bool CSetupCrypt::DecryptScrambled(std::string_view text, std::string& out) const {
  if (text.size() < 2 || !IsScrambleKey(text[1])) return false;
  const char cKey = text[1];
  if (text[0] == '*') {
    out = ScrambleChars(text.substr(2), cKey);
    return true;
  }
  std::string bytes;
  if (text[0] != '~' || !HexToBytes(text.substr(2), bytes)) return false;
  out = ScrambleChars(bytes, cKey);
  return true;
}

}  // namespace Tarvium
