#include "platform/emulated/machine/machine_fonts.h"

#include <array>
#include <cstdint>

#include "platform/win_error.h"

namespace platform::emulated {
namespace {

constexpr size_t kHeaderSize = 12;
constexpr int kMaxCollectionFonts = 256;

uint32_t BigEndian32(const std::array<uint8_t, kHeaderSize>& header, size_t nOffset) {
  return static_cast<uint32_t>(header[nOffset]) << 24 | header[nOffset + 1] << 16 |
         header[nOffset + 2] << 8 | header[nOffset + 3];
}

// The fonts a file's first bytes promise: one for a single TrueType or OpenType font or a bitmap
// font resource file (an executable image), the stated count for a font collection.
int FontsInHeader(const std::array<uint8_t, kHeaderSize>& header, uint32_t nRead) {
  if (nRead >= 2 && header[0] == 'M' && header[1] == 'Z') return 1;
  if (nRead < 4) return 0;
  const uint32_t dwTag = BigEndian32(header, 0);
  if (dwTag == 0x00010000 || dwTag == 0x74727565 /* true */ || dwTag == 0x4F54544F /* OTTO */)
    return 1;
  if (dwTag != 0x74746366 /* ttcf */ || nRead < kHeaderSize) return 0;
  const uint32_t nFonts = BigEndian32(header, 8);
  return nFonts > kMaxCollectionFonts ? 0 : static_cast<int>(nFonts);
}

}  // namespace

int MachineFonts::CountFonts(const std::string& path) {
  FileHandle hFile = FileHandle::Invalid;
  FileInfo info;
  if (files_.OpenForReading(path, hFile, info) != ERROR_SUCCESS) return 0;
  std::array<uint8_t, kHeaderSize> header{};
  uint32_t nRead = 0;
  const uint32_t err = files_.ReadFile(hFile, header.data(), kHeaderSize, nRead);
  files_.CloseHandle(hFile);
  return err == ERROR_SUCCESS ? FontsInHeader(header, nRead) : 0;
}

int MachineFonts::AddFontResource(const std::string& path) {
  return CountFonts(path);
}

bool MachineFonts::RemoveFontResource(const std::string& path) {
  return CountFonts(path) > 0;
}

}  // namespace platform::emulated
