// The writing side of the ByteReader: little-endian values and zero-terminated strings appended to
// a byte vector, and values set at an offset that was reserved before (a size known only at the
// end). Used by the writers of binary formats (shell links, the version resource of an image).
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

namespace platform {

inline void PutU16(std::vector<uint8_t>& out, uint32_t nValue) {
  out.push_back(static_cast<uint8_t>(nValue));
  out.push_back(static_cast<uint8_t>(nValue >> 8));
}
inline void PutU32(std::vector<uint8_t>& out, uint32_t nValue) {
  PutU16(out, nValue & 0xFFFF);
  PutU16(out, nValue >> 16);
}
inline void PutU64(std::vector<uint8_t>& out, uint64_t nValue) {
  PutU32(out, static_cast<uint32_t>(nValue));
  PutU32(out, static_cast<uint32_t>(nValue >> 32));
}
inline void PutAnsiz(std::vector<uint8_t>& out, std::string_view text) {
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
}
inline void SetU16(std::vector<uint8_t>& out, size_t nAt, size_t nValue) {
  out[nAt] = static_cast<uint8_t>(nValue);
  out[nAt + 1] = static_cast<uint8_t>(nValue >> 8);
}
inline void SetU32(std::vector<uint8_t>& out, size_t nAt, size_t nValue) {
  SetU16(out, nAt, nValue & 0xFFFF);
  SetU16(out, nAt + 2, nValue >> 16);
}

}  // namespace platform
