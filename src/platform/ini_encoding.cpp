// UTF-16LE text is turned into ANSI code unit by code unit (characters the code page cannot hold
// become '?', as WideCharToMultiByte makes them); UTF-8 text keeps its bytes, since the profile
// functions only compare the ASCII parts of it, and only its mark is taken off and put back.
#include "platform/ini_encoding.h"

#include "platform/code_page.h"

namespace platform {
namespace {

constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::u16string Utf16Units(std::string_view bytes) {
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    units += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                   (static_cast<unsigned char>(bytes[i + 1]) << 8));
  return units;
}

// Utf16ToAnsi stops at a zero unit; an INI file may hold zero bytes, which are kept.
std::string Utf16LeToAnsi(std::string_view bytes) {
  const std::u16string units = Utf16Units(bytes);
  std::string text;
  size_t nFrom = 0;
  while (nFrom <= units.size()) {
    size_t nZero = units.find(u'\0', nFrom);
    if (nZero == std::u16string::npos) nZero = units.size();
    text += Utf16ToAnsi(std::u16string_view(units).substr(nFrom, nZero - nFrom));
    if (nZero == units.size()) break;
    text += '\0';
    nFrom = nZero + 1;
  }
  return text;
}

}  // namespace

std::string DecodeIniBytes(std::string_view bytes, IniEncoding& encoding) {
  if (bytes.starts_with(kUtf16LeMark)) {
    encoding = IniEncoding::Utf16Le;
    return Utf16LeToAnsi(bytes.substr(kUtf16LeMark.size()));
  }
  if (bytes.starts_with(kUtf8Mark)) {
    encoding = IniEncoding::Utf8;
    return std::string(bytes.substr(kUtf8Mark.size()));
  }
  encoding = IniEncoding::Ansi;
  return std::string(bytes);
}

std::string EncodeIniText(std::string_view text, IniEncoding encoding) {
  if (encoding == IniEncoding::Utf8) return std::string(kUtf8Mark) + std::string(text);
  if (encoding == IniEncoding::Ansi) return std::string(text);
  std::string bytes(kUtf16LeMark);
  bytes.reserve(2 + text.size() * 2);
  for (char c : text) {
    const char16_t unit = AnsiCharToUnicode(static_cast<unsigned char>(c));
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

}  // namespace platform
