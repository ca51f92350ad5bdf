// Decoding .reg bytes. A BOM decides when there is one; without it, text that is valid UTF-8 is
// taken as UTF-8 (what editors on Linux write), anything else as Windows-1252, so that REGEDIT4
// files exported on Windows read as they were written.
#include "platform/emulated/registry/reg_text_decode.h"

#include "platform/code_page.h"

namespace platform::emulated {
namespace {

// Length of the UTF-8 sequence at text[i], or 0 when it is malformed.
size_t Utf8SequenceLength(std::string_view text, size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  if (lead < 0x80) return 1;
  const size_t nLength = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (nLength == 0 || lead > 0xF4 || i + nLength > text.size()) return 0;
  for (size_t k = 1; k < nLength; ++k)
    if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
  const auto second = static_cast<unsigned char>(text[i + 1]);
  if (lead == 0xE0 && second < 0xA0) return 0;   // overlong
  if (lead == 0xED && second >= 0xA0) return 0;  // surrogate
  if (lead == 0xF0 && second < 0x90) return 0;   // overlong
  if (lead == 0xF4 && second >= 0x90) return 0;  // beyond U+10FFFF
  return nLength;
}

bool IsValidUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const size_t nLength = Utf8SequenceLength(text, i);
    if (nLength == 0) return false;
    i += nLength;
  }
  return true;
}

}  // namespace

std::string Utf16LeToAnsi(std::string_view bytes) {
  std::u16string units;
  for (size_t i = 0; i < bytes.size(); i += 2) {
    const auto low = static_cast<unsigned char>(bytes[i]);
    const auto high = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
    units += static_cast<char16_t>(high << 8 | low);
  }
  std::string ansi;
  for (size_t start = 0;;) {
    const size_t zero = units.find(u'\0', start);
    ansi += Utf16ToAnsi(std::u16string_view(units).substr(start, zero - start));
    if (zero == std::u16string::npos) return ansi;
    ansi += '\0';
    start = zero + 1;
  }
}

std::string DecodeRegTextBytes(std::string_view bytes) {
  if (bytes.substr(0, 2) == "\xFF\xFE") return Utf16LeToAnsi(bytes.substr(2));
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return Utf8ToAnsi(bytes.substr(3));
  if (IsValidUtf8(bytes)) return Utf8ToAnsi(bytes);
  return std::string(bytes);
}

}  // namespace platform::emulated
