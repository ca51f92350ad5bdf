// The two digest modes of CMD5Crypt.
#include "script/crypt/md5_crypt.h"

#include "platform/ansi_case.h"
#include "script/crypt/digests.h"

namespace Tarvium {

bool CMD5Crypt::Encrypt(std::string_view text, std::string& out) const {
  if (nMode_ != 1 && nMode_ != 2) return false;
  out = BytesToHex(Md5Digest(nMode_ == 1 ? std::string(text) : platform::AnsiUpper(text)));
  return true;
}

bool CMD5Crypt::Decrypt(std::string_view, std::string&) const {
  return false;
}

}  // namespace Tarvium
