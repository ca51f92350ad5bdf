// CMD5Crypt: MD5 digests as lower-case hex, in two modes: mode 1 digests the text as it is,
// mode 2 its upper-case form, for names that are compared without regard to case. A digest
// cannot be decrypted; Decrypt fails.
#pragma once
#include "script/crypt/base_decrypt.h"
#include "script/crypt/base_encrypt.h"

namespace Tarvium {

class CMD5Crypt : public CBaseEncrypt, public CBaseDecrypt {
 public:
  // nMode 1 or 2; with any other mode both operations fail.
  explicit CMD5Crypt(int nMode) : nMode_(nMode) {}
  int Mode() const { return nMode_; }

  bool Encrypt(std::string_view text, std::string& out) const override;
  bool Decrypt(std::string_view text, std::string& out) const override;

 private:
  int nMode_;
};

}  // namespace Tarvium
