// ZipCrypto as the PKWARE application note describes it, over zlib's CRC-32 table.
#include "archive/zip_crypto.h"

#include <zlib.h>

#include <random>

namespace tarvium {
namespace {

uint32_t Crc32Step(uint32_t nCrc, uint8_t byte) {
  static const z_crc_t* const pTable = get_crc_table();
  return pTable[(nCrc ^ byte) & 0xFF] ^ (nCrc >> 8);
}

}  // namespace

ZipCrypto::ZipCrypto(std::string_view password) : keys_{0x12345678, 0x23456789, 0x34567890} {
  for (const char c : password) UpdateKeys(static_cast<uint8_t>(c));
}

uint8_t ZipCrypto::KeyStreamByte() const {
  const uint32_t temp = (keys_[2] | 2) & 0xFFFF;  // unsigned: the product exceeds an int
  return static_cast<uint8_t>((temp * (temp ^ 1)) >> 8);
}

void ZipCrypto::UpdateKeys(uint8_t plainByte) {
  keys_[0] = Crc32Step(keys_[0], plainByte);
  keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813 + 1;
  keys_[2] = Crc32Step(keys_[2], static_cast<uint8_t>(keys_[1] >> 24));
}

void ZipCrypto::Encrypt(uint8_t* pBytes, size_t nBytes) {
  for (size_t i = 0; i < nBytes; ++i) {
    const uint8_t plain = pBytes[i];
    pBytes[i] = plain ^ KeyStreamByte();
    UpdateKeys(plain);
  }
}

void ZipCrypto::Decrypt(uint8_t* pBytes, size_t nBytes) {
  for (size_t i = 0; i < nBytes; ++i) {
    pBytes[i] ^= KeyStreamByte();
    UpdateKeys(pBytes[i]);
  }
}

void ZipCrypto::MakeHeader(uint8_t (&header)[kZipCryptHeaderSize], uint8_t checkByte) {
  static thread_local std::random_device randomSource;
  for (size_t i = 0; i + 1 < kZipCryptHeaderSize; ++i)
    header[i] = static_cast<uint8_t>(randomSource());
  header[kZipCryptHeaderSize - 1] = checkByte;
  Encrypt(header, kZipCryptHeaderSize);
}

bool ZipCrypto::CheckHeader(uint8_t (&header)[kZipCryptHeaderSize], uint8_t checkByte) {
  Decrypt(header, kZipCryptHeaderSize);
  return header[kZipCryptHeaderSize - 1] == checkByte;
}

uint8_t ZipCheckByteOf(uint16_t flags, uint32_t nCrc, uint32_t dosDateTime) {
  return static_cast<uint8_t>((flags & 0x08) ? (dosDateTime >> 8) : (nCrc >> 24));
}

}  // namespace tarvium
