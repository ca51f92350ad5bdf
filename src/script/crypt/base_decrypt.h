// The decrypting side of the crypt class family: the operation the engine calls on an encrypted
// value. The factory hands out decryptors, so every class the factory knows derives from it.
#pragma once
#include <string>
#include <string_view>

#include "script/crypt/base_crypt.h"

namespace Tarvium {

class CBaseDecrypt : public virtual CBaseCrypt {
 public:
  // The fourth virtual function of a decryptor: takes the whole encrypted value, its marker
  // characters included, and writes the plain text to out. False, with out unchanged, when the
  // value is not of this class's form, is corrupt, or is a one-way digest.
  virtual bool Decrypt(std::string_view text, std::string& out) const = 0;
};

}  // namespace Tarvium
