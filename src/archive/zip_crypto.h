// The traditional PKWARE encryption of zip entry data ("ZipCrypto"): three keys driven by the
// password and the plain bytes, and the 12-byte encryption header before the data whose last byte
// lets a reader reject most wrong passwords at once. Debian's minizip is built without it, so the
// zip code reads and writes entries raw and encrypts them here.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tarvium {

inline constexpr size_t kZipCryptHeaderSize = 12;

class ZipCrypto {
 public:
  explicit ZipCrypto(std::string_view password);

  void Encrypt(uint8_t* pBytes, size_t nBytes);
  void Decrypt(uint8_t* pBytes, size_t nBytes);

  // Fills the header before an entry's data: 11 random bytes and the check byte, encrypted.
  void MakeHeader(uint8_t (&header)[kZipCryptHeaderSize], uint8_t checkByte);
  // Decrypts a header read from an archive; true when its check byte matches.
  bool CheckHeader(uint8_t (&header)[kZipCryptHeaderSize], uint8_t checkByte);

 private:
  uint8_t KeyStreamByte() const;
  void UpdateKeys(uint8_t plainByte);

  uint32_t keys_[3];
};

// The check byte of an entry: the high byte of its CRC32, or, when the entry's sizes and CRC
// follow its data (general-purpose flag bit 3), the high byte of its DOS time.
uint8_t ZipCheckByteOf(uint16_t flags, uint32_t nCrc, uint32_t dosDateTime);

}  // namespace tarvium
