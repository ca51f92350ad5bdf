// The "X" form over Crypto++'s AES in CBC mode. Crypto++ reports bad padding by an exception,
// which is caught here: the engine's own logic never throws.
#include "script/crypt/aes_decrypt.h"

#include <cryptopp/aes.h>
#include <cryptopp/filters.h>
#include <cryptopp/modes.h>

#include "script/crypt/product_secrets.h"

namespace Tarvium {

namespace {

template <typename Mode>
bool RunCipher(std::string_view input, std::string& output) {
  try {
    Mode cipher;
    cipher.SetKeyWithIV(secrets::kAesKey.data(), secrets::kAesKey.size(), secrets::kAesIv.data(),
                        secrets::kAesIv.size());
    std::string result;
    CryptoPP::StringSource source(
        reinterpret_cast<const CryptoPP::byte*>(input.data()), input.size(), true,
        new CryptoPP::StreamTransformationFilter(cipher, new CryptoPP::StringSink(result)));
    output = std::move(result);
    return true;
  } catch (const CryptoPP::Exception&) {
    return false;
  }
}

}  // namespace

bool CAESDecrypt::Decrypt(std::string_view text, std::string& out) const {
  std::string bytes;
  if (text.empty() || text[0] != 'X' || !HexToBytes(text.substr(1), bytes)) return false;
  return RunCipher<CryptoPP::CBC_Mode<CryptoPP::AES>::Decryption>(bytes, out);
}

bool CAESDecrypt::MakeValue(std::string_view text, std::string& out) const {
  std::string bytes;
  if (!RunCipher<CryptoPP::CBC_Mode<CryptoPP::AES>::Encryption>(text, bytes)) return false;
  out = "X" + BytesToHex(bytes);
  return true;
}

}  // namespace Tarvium
