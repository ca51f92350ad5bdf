// CFixedCrypt: the fixed-length form "A" + 40 hexadecimal digits + "X", 42 characters whatever
// the text, so that the length of a password does not show. The digits hold a 20-byte block:
// the text's length (0 to 19), the text, zero padding; each byte is XORed with the product's
// fixed key and with the previous encrypted byte. A value whose length byte or padding is wrong
// after decryption is corrupt and fails.
#pragma once
#include "script/crypt/base_decrypt.h"
#include "script/crypt/base_encrypt.h"

namespace Tarvium {

class CFixedCrypt : public CBaseEncrypt, public CBaseDecrypt {
 public:
  static constexpr size_t kValueLength = 42;
  static constexpr size_t kMaxTextLength = 19;

  // False for a text longer than kMaxTextLength.
  bool Encrypt(std::string_view text, std::string& out) const override;
  bool Decrypt(std::string_view text, std::string& out) const override;
};

}  // namespace Tarvium
