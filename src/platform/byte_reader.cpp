#include "platform/byte_reader.h"

namespace platform {

bool ByteReader::Seek(size_t nOffset) {
  if (nOffset > bytes_.size()) return false;
  nPos_ = nOffset;
  return true;
}

bool ByteReader::Skip(size_t nCount) {
  if (nCount > Remaining()) return false;
  nPos_ += nCount;
  return true;
}

bool ByteReader::AlignTo(size_t nAlignment) {
  if (nAlignment == 0) return false;
  const size_t nPad = (nAlignment - nPos_ % nAlignment) % nAlignment;
  return Skip(nPad);
}

bool ByteReader::ReadU8(uint8_t& value) {
  if (Remaining() < 1) return false;
  value = bytes_[nPos_++];
  return true;
}

bool ByteReader::ReadU16(uint16_t& value) {
  if (Remaining() < 2) return false;
  value = static_cast<uint16_t>(bytes_[nPos_] | bytes_[nPos_ + 1] << 8);
  nPos_ += 2;
  return true;
}

bool ByteReader::ReadU32(uint32_t& value) {
  if (Remaining() < 4) return false;
  value = 0;
  for (size_t i = 0; i < 4; ++i) value |= static_cast<uint32_t>(bytes_[nPos_ + i]) << (8 * i);
  nPos_ += 4;
  return true;
}

bool ByteReader::ReadU64(uint64_t& value) {
  if (Remaining() < 8) return false;
  value = 0;
  for (size_t i = 0; i < 8; ++i) value |= static_cast<uint64_t>(bytes_[nPos_ + i]) << (8 * i);
  nPos_ += 8;
  return true;
}

bool ByteReader::ReadBytes(size_t nCount, std::span<const uint8_t>& bytes) {
  if (nCount > Remaining()) return false;
  bytes = bytes_.subspan(nPos_, nCount);
  nPos_ += nCount;
  return true;
}

bool ByteReader::ReadUtf16z(std::u16string& text) {
  const size_t nStart = nPos_;
  text.clear();
  for (uint16_t unit = 0; ReadU16(unit);) {
    if (unit == 0) return true;
    text += static_cast<char16_t>(unit);
  }
  nPos_ = nStart;
  return false;
}

bool ByteReader::ReadAnsiz(std::string& text) {
  const size_t nStart = nPos_;
  text.clear();
  for (uint8_t byte = 0; ReadU8(byte);) {
    if (byte == 0) return true;
    text += static_cast<char>(byte);
  }
  nPos_ = nStart;
  return false;
}

bool ByteReader::ReadUtf16(size_t nCount, std::u16string& text) {
  if (nCount > Remaining() / 2) return false;
  text.clear();
  uint16_t unit = 0;
  for (size_t i = 0; i < nCount && ReadU16(unit); ++i) text += static_cast<char16_t>(unit);
  return true;
}

std::optional<ByteReader> ByteReader::Slice(size_t nOffset, size_t nSize) const {
  if (nOffset > bytes_.size() || nSize > bytes_.size() - nOffset) return std::nullopt;
  return ByteReader(bytes_.subspan(nOffset, nSize));
}

}  // namespace platform
