// CSetupCrypt: the engine's own crypt in four modes.
//   1  reversible: the text XORed with a key stream from the product's setup key, as hex.
//   2  reversible: the scrambled forms. "*" + K + the scrambled characters (ScrambleValue, the
//      form of recorded prompt answers) and "~" + K + the scrambled bytes as hex, which survives
//      any character set and the field separators of a setup information file. Encrypt gives
//      the "~" form with K taken from the text, so the same text always gives the same value.
//   3  one-way: HMAC-MD5 of the text under the setup key, as hex.
//   4  one-way: MD5 of the text followed by the salt "zq58", as hex.
// The one-way modes cannot decrypt: they serve to compare a text with a stored digest.
#pragma once
#include "script/crypt/base_decrypt.h"
#include "script/crypt/base_encrypt.h"

namespace Tarvium {

class CSetupCrypt : public CBaseEncrypt, public CBaseDecrypt {
 public:
  // nMode 1 to 4; with any other mode both operations fail.
  explicit CSetupCrypt(int nMode) : nMode_(nMode) {}
  int Mode() const { return nMode_; }

  bool Encrypt(std::string_view text, std::string& out) const override;
  bool Decrypt(std::string_view text, std::string& out) const override;

 private:
  bool DecryptScrambled(std::string_view text, std::string& out) const;

  int nMode_;
};

}  // namespace Tarvium
