// Windows-1252 as the ANSI code page of the Linux build. The five bytes that Windows-1252 leaves
// undefined (81, 8D, 8F, 90, 9D) map to the C1 controls of the same value, as Windows does.
#include "platform/code_page.h"

#include <algorithm>
#include <array>
#include <unordered_map>

namespace platform {
namespace {

// Plain ASCII is the same bytes in UTF-8 and in Windows-1252.
bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

const std::unordered_map<char32_t, char>& HighCharsToAnsi() {
  static const auto* map = [] {
    auto* m = new std::unordered_map<char32_t, char>;
    for (unsigned i = 0; i < kHighControls.size(); ++i)
      (*m)[kHighControls[i]] = static_cast<char>(0x80 + i);
    return m;
  }();
  return *map;
}

// Decodes one UTF-8 sequence at text[i]; advances i. Malformed input yields U+FFFD.
char32_t DecodeUtf8(std::string_view text, size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i++]);
  if (lead < 0x80) return lead;
  int nFollow = 0;
  char32_t c = 0;
  if ((lead & 0xE0) == 0xC0) {
    nFollow = 1, c = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    nFollow = 2, c = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    nFollow = 3, c = lead & 0x07;
  } else {
    return 0xFFFD;
  }
  for (int k = 0; k < nFollow; ++k) {
    if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 0xFFFD;
    c = (c << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
  }
  static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
  if (c < kMin[nFollow] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0xFFFD;
  return c;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

char16_t AnsiCharToUnicode(unsigned char c) {
  return (c >= 0x80 && c < 0xA0) ? kHighControls[c - 0x80] : static_cast<char16_t>(c);
}

char UnicodeToAnsiChar(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  const auto& high = HighCharsToAnsi();
  auto it = high.find(c);
  return it == high.end() ? '?' : it->second;
}

std::string Utf16ToAnsi(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size() && text[i] != 0; ++i) {
    char32_t c = text[i];
    const bool bHighSurrogate = c >= 0xD800 && c <= 0xDBFF;
    if (bHighSurrogate && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    out += UnicodeToAnsiChar(c);
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    char32_t c = DecodeUtf8(text, i);
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

std::string Utf8ToAnsi(std::string_view text) {
  if (IsAscii(text)) return std::string(text);
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) out += UnicodeToAnsiChar(DecodeUtf8(text, i));
  return out;
}

void AppendAnsiToUtf8(std::string& out, std::string_view text) {
  if (IsAscii(text)) {
    out.append(text);
    return;
  }
  out.reserve(out.size() + text.size() + text.size() / 8);
  for (unsigned char c : text) AppendUtf8(out, AnsiCharToUnicode(c));
}

std::string AnsiToUtf8(std::string_view text) {
  std::string out;
  AppendAnsiToUtf8(out, text);
  return out;
}

}  // namespace platform
