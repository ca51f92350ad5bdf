// The common base of the crypt class family: every encrypted form that is text carries its bytes
// as lower-case hexadecimal, so the conversion lives here once. The order of the virtual
// functions is part of the family's interface: the destructor and the two conversions come first,
// so that the encrypt and decrypt operations the subclasses add are the fourth virtual function.
#pragma once
#include <string>
#include <string_view>

namespace Tarvium {

class CBaseCrypt {
 public:
  virtual ~CBaseCrypt() = default;
  // The bytes as lower-case hexadecimal digits ("0123456789abcdef"), two per byte.
  virtual std::string BytesToHex(std::string_view bytes) const;
  // The bytes of hexadecimal text (either case). False, with bytes unchanged, for an odd length
  // or any character that is not a hexadecimal digit.
  virtual bool HexToBytes(std::string_view hex, std::string& bytes) const;
};

}  // namespace Tarvium
