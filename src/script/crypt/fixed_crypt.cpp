// The 20-byte block of the fixed form and its chained XOR; the layout is described with the class.
#include "script/crypt/fixed_crypt.h"

#include "script/crypt/product_secrets.h"

namespace Tarvium {

namespace {

constexpr size_t kBlockSize = secrets::kFixedKey.size();
static_assert(CFixedCrypt::kValueLength == 2 + 2 * kBlockSize);
static_assert(CFixedCrypt::kMaxTextLength == kBlockSize - 1);

}  // namespace

bool CFixedCrypt::Encrypt(std::string_view text, std::string& out) const {
  if (text.size() > kMaxTextLength) return false;
  std::string block(kBlockSize, '\0');
  block[0] = static_cast<char>(text.size());
  block.replace(1, text.size(), text);
  unsigned char cPrevious = 0;
  for (size_t i = 0; i < kBlockSize; ++i) {
    cPrevious = static_cast<unsigned char>(block[i] ^ secrets::kFixedKey[i] ^ cPrevious);
    block[i] = static_cast<char>(cPrevious);
  }
  out = "A" + BytesToHex(block) + "X";
  return true;
}

bool CFixedCrypt::Decrypt(std::string_view text, std::string& out) const {
  std::string block;
  if (text.size() != kValueLength || text.front() != 'A' || text.back() != 'X' ||
      !HexToBytes(text.substr(1, kValueLength - 2), block))
    return false;
  unsigned char cPrevious = 0;
  for (size_t i = 0; i < kBlockSize; ++i) {
    const auto cEncrypted = static_cast<unsigned char>(block[i]);
    block[i] = static_cast<char>(cEncrypted ^ secrets::kFixedKey[i] ^ cPrevious);
    cPrevious = cEncrypted;
  }
  const auto nLength = static_cast<unsigned char>(block[0]);
  if (nLength > kMaxTextLength || block.find_first_not_of('\0', 1 + nLength) != std::string::npos)
    return false;
  out = block.substr(1, nLength);
  return true;
}

}  // namespace Tarvium
