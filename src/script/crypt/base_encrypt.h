// The encrypting side of the crypt class family: a class that can turn a plain text into its
// encrypted (or, for the digest classes, hashed) form.
#pragma once
#include <string>
#include <string_view>

#include "script/crypt/base_crypt.h"

namespace Tarvium {

class CBaseEncrypt : public virtual CBaseCrypt {
 public:
  // The fourth virtual function of an encryptor: writes the encrypted form of text to out.
  // False, with out unchanged, when the text cannot be given this form.
  virtual bool Encrypt(std::string_view text, std::string& out) const = 0;
};

}  // namespace Tarvium
