// CSyncDecrypt: the "#" form, "#" followed by hexadecimal text. The bytes are the output of
// Crypto++'s password-based encryptor with MAC in its DES-EDE2 and HMAC-SHA1 variant (a random
// salt, a key check, the data and an HMAC over it) under the product passphrase, so a value that
// was changed fails its check instead of decrypting to garbage.
#pragma once
#include "script/crypt/base_decrypt.h"

namespace Tarvium {

class CSyncDecrypt : public CBaseDecrypt {
 public:
  bool Decrypt(std::string_view text, std::string& out) const override;
  // The "#" value of a text, for the tool that writes such values (the engine only decrypts).
  // Each call gives a different value, because the salt is random.
  bool MakeValue(std::string_view text, std::string& out) const;
};

}  // namespace Tarvium
