// The factory of the crypt class family and the recognition of encrypted values.
#include "script/crypt/crypt_factory.h"

#include "script/crypt/aes_decrypt.h"
#include "script/crypt/fixed_crypt.h"
#include "script/crypt/md5_crypt.h"
#include "script/crypt/setup_crypt.h"
#include "script/crypt/sync_decrypt.h"

namespace Tarvium {

std::unique_ptr<CBaseDecrypt> CreateCrypt(int nKind) {
  switch (nKind) {
    case kCryptFixed:
      return std::make_unique<CFixedCrypt>();
    case kCryptSetup2:
      return std::make_unique<CSetupCrypt>(2);
    case kCryptSync:
      return std::make_unique<CSyncDecrypt>();
    case kCryptMd5First:
      return std::make_unique<CMD5Crypt>(1);
    case kCryptMd5Second:
      return std::make_unique<CMD5Crypt>(2);
    case kCryptSetup1:
      return std::make_unique<CSetupCrypt>(1);
    case kCryptSetup3:
      return std::make_unique<CSetupCrypt>(3);
    case kCryptSetup4:
      return std::make_unique<CSetupCrypt>(4);
    case kCryptAes:
      return std::make_unique<CAESDecrypt>();
    default:
      return nullptr;
  }
}

CryptKind EncryptedValueKind(std::string_view text) {
  if (text.empty()) return kCryptNone;
  switch (text[0]) {
    case '*':
    case '~':
      return kCryptSetup2;
    case 'A':
      return text.size() == CFixedCrypt::kValueLength && text.back() == 'X' ? kCryptFixed
                                                                            : kCryptNone;
    case '#':
      return kCryptSync;
    case 'X':
      return kCryptAes;
    default:
      return kCryptNone;
  }
}

}  // namespace Tarvium
