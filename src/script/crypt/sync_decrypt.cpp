// The "#" form over Crypto++. Older Crypto++ releases called this DES-EDE2/HMAC-SHA1 pair
// DefaultEncryptorWithMAC and DefaultDecryptorWithMAC; since 5.7 the Default names mean AES and
// SHA-256 and the pair is kept as the Legacy classes. Crypto++ reports a bad key check or MAC by
// an exception, which is caught here: the engine's own logic never throws.
#include "script/crypt/sync_decrypt.h"

#include <cryptopp/default.h>
#include <cryptopp/filters.h>

#include "script/crypt/product_secrets.h"

namespace Tarvium {

namespace {

using SyncDecryptor = CryptoPP::LegacyDecryptorWithMAC;
using SyncEncryptor = CryptoPP::LegacyEncryptorWithMAC;

template <typename Filter>
bool RunFilter(std::string_view input, std::string& output) {
  try {
    std::string result;
    CryptoPP::StringSource source(
        reinterpret_cast<const CryptoPP::byte*>(input.data()), input.size(), true,
        new Filter(secrets::kSyncPassphrase, new CryptoPP::StringSink(result)));
    output = std::move(result);
    return true;
  } catch (const CryptoPP::Exception&) {
    return false;
  }
}

}  // namespace

bool CSyncDecrypt::Decrypt(std::string_view text, std::string& out) const {
  std::string bytes;
  if (text.empty() || text[0] != '#' || !HexToBytes(text.substr(1), bytes)) return false;
  return RunFilter<SyncDecryptor>(bytes, out);
}

bool CSyncDecrypt::MakeValue(std::string_view text, std::string& out) const {
  std::string bytes;
  if (!RunFilter<SyncEncryptor>(text, bytes)) return false;
  out = "#" + BytesToHex(bytes);
  return true;
}

}  // namespace Tarvium
