// CAESDecrypt: the "X" form, "X" followed by hexadecimal text: the text encrypted with AES-256 in
// CBC mode under the product key and initialisation vector, with PKCS#7 padding. A value whose
// length is not a whole number of blocks or whose padding is wrong fails.
#pragma once
#include "script/crypt/base_decrypt.h"

namespace Tarvium {

class CAESDecrypt : public CBaseDecrypt {
 public:
  bool Decrypt(std::string_view text, std::string& out) const override;
  // The "X" value of a text, for the tool that writes such values (the engine only decrypts).
  bool MakeValue(std::string_view text, std::string& out) const;
};

}  // namespace Tarvium
