// A bounds-checked little-endian reader over a byte buffer, for the binary formats the engine
// reads (PE resources, shell links, ...). Every read checks what is left first and fails without
// moving when the buffer is too short, so a truncated or hostile file can never make a reader
// index outside its buffer.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace platform {

class ByteReader {
 public:
  ByteReader() = default;
  explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  size_t Size() const { return bytes_.size(); }
  size_t Position() const { return nPos_; }
  size_t Remaining() const { return bytes_.size() - nPos_; }

  bool Seek(size_t nOffset);  // to an offset from the start
  bool Skip(size_t nCount);
  // Moves to the next multiple of nAlignment, counted from the start of this reader.
  bool AlignTo(size_t nAlignment);

  bool ReadU8(uint8_t& value);
  bool ReadU16(uint16_t& value);
  bool ReadU32(uint32_t& value);
  bool ReadU64(uint64_t& value);
  bool ReadBytes(size_t nCount, std::span<const uint8_t>& bytes);
  // A zero-terminated UTF-16LE or 8-bit string; the terminator is consumed, not stored.
  bool ReadUtf16z(std::u16string& text);
  bool ReadAnsiz(std::string& text);
  // nCount UTF-16LE code units.
  bool ReadUtf16(size_t nCount, std::u16string& text);

  // A reader over nSize bytes at nOffset of this one, or none when they do not lie inside.
  std::optional<ByteReader> Slice(size_t nOffset, size_t nSize) const;

 private:
  std::span<const uint8_t> bytes_;
  size_t nPos_ = 0;
};

}  // namespace platform
