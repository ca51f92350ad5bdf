// Hexadecimal conversion through Crypto++'s encoder and decoder. The decoder skips characters it
// does not know, so the text is checked first: a corrupt value must fail, not decode to less.
#include "script/crypt/base_crypt.h"

#include <cryptopp/filters.h>
#include <cryptopp/hex.h>

namespace Tarvium {

namespace {

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace

std::string CBaseCrypt::BytesToHex(std::string_view bytes) const {
  std::string hex;
  CryptoPP::StringSource source(reinterpret_cast<const CryptoPP::byte*>(bytes.data()), bytes.size(),
                                true,
                                new CryptoPP::HexEncoder(new CryptoPP::StringSink(hex), false));
  return hex;
}

bool CBaseCrypt::HexToBytes(std::string_view hex, std::string& bytes) const {
  if (hex.size() % 2 != 0) return false;
  for (char c : hex)
    if (!IsHexDigit(c)) return false;
  std::string decoded;
  CryptoPP::StringSource source(reinterpret_cast<const CryptoPP::byte*>(hex.data()), hex.size(),
                                true, new CryptoPP::HexDecoder(new CryptoPP::StringSink(decoded)));
  bytes = std::move(decoded);
  return true;
}

}  // namespace Tarvium
