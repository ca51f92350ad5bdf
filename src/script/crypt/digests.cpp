// MD5 from Crypto++'s namespace of weak algorithms: the digests identify values, they protect
// nothing, and MD5 is what the digest forms are defined with.
#define CRYPTOPP_ENABLE_NAMESPACE_WEAK 1
#include "script/crypt/digests.h"

#include <cryptopp/hmac.h>
#include <cryptopp/md5.h>

namespace Tarvium {

namespace {

const CryptoPP::byte* Bytes(std::string_view text) {
  return reinterpret_cast<const CryptoPP::byte*>(text.data());
}

template <typename Hash>
std::string DigestOf(Hash& hash, std::string_view text) {
  std::string digest(hash.DigestSize(), '\0');
  hash.Update(Bytes(text), text.size());
  hash.Final(reinterpret_cast<CryptoPP::byte*>(digest.data()));
  return digest;
}

}  // namespace

std::string Md5Digest(std::string_view text) {
  CryptoPP::Weak::MD5 hash;
  return DigestOf(hash, text);
}

std::string HmacMd5Digest(std::string_view key, std::string_view text) {
  CryptoPP::HMAC<CryptoPP::Weak::MD5> hmac(Bytes(key), key.size());
  return DigestOf(hmac, text);
}

}  // namespace Tarvium
