// Fuzzes the decryption of values read from a setup information file: any bytes either decrypt or
// leave the buffer as it was, never crash; and the reversible forms give any text back.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "script/crypt/decrypt_value.h"
#include "script/crypt/fixed_crypt.h"
#include "script/crypt/setup_crypt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::string value = bytes;
  if (!Tarvium::DecryptValue(value) && value != bytes) __builtin_trap();

  const std::string text = bytes.substr(0, Tarvium::CFixedCrypt::kMaxTextLength);
  std::string fixed, tilde;
  if (!Tarvium::CFixedCrypt().Encrypt(text, fixed) || !Tarvium::DecryptValue(fixed) ||
      fixed != text)
    __builtin_trap();
  if (!Tarvium::CSetupCrypt(2).Encrypt(bytes, tilde) || !Tarvium::DecryptValue(tilde) ||
      tilde != bytes)
    __builtin_trap();
  return 0;
}
