// Writing a key tree as version 5 .reg text, in the layout reg export produces: a header, then for
// each key (parent before children, subkeys in enumeration order) the key in brackets, its values
// in enumeration order and a blank line. A four-byte REG_DWORD is written as dword:, a REG_SZ in
// quotes, anything else as hex (REG_EXPAND_SZ and REG_MULTI_SZ as their UTF-16LE form, as the
// editor stores them). Two styles differ only for REG_SZ: reg export's cuts the text at its first
// zero (an empty or unterminated value is ""), the exact style of snapshots writes a REG_SZ that
// quotes cannot hold byte for byte as hex(1). A REG_SZ spanning lines goes as hex(1) in both, so
// that the text reads back. The text is built in Windows-1252 and converted to UTF-8 at the end.
#include <cstdio>

#include "platform/ansi_case.h"
#include "platform/code_page.h"
#include "platform/reg_export.h"
#include "platform/reg_root_names.h"
#include "platform/win_error.h"

namespace platform {
namespace {

// A hex line is broken after the byte that reaches this column; with the backslash it then ends
// at column 80 at most, and the next line goes on after two blanks.
constexpr size_t kHexBreakColumn = 77;

void AppendQuoted(std::string& out, std::string_view text) {
  out += '"';
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
}

enum class Style { RegExport, Exact };

// The text a REG_SZ is written with in quotes, or false when it goes as hex.
bool QuotableText(const RegValue& value, Style style, std::string_view& text) {
  if (value.dwType != REG_SZ) return false;
  text = std::string_view(reinterpret_cast<const char*>(value.data.data()), value.data.size());
  if (style == Style::Exact && (text.empty() || text.back() != '\0')) return false;
  const size_t zero = text.find('\0');
  if (style == Style::Exact && zero + 1 != text.size()) return false;
  text = text.substr(0, zero);
  return text.find_first_of("\r\n") == std::string_view::npos;
}

std::string HexDataOf(const RegValue& value) {
  const bool bUtf16 =
      value.dwType == REG_SZ || value.dwType == REG_EXPAND_SZ || value.dwType == REG_MULTI_SZ;
  std::string bytes;
  for (uint8_t c : value.data) {
    if (!bUtf16) {
      bytes += static_cast<char>(c);
      continue;
    }
    const char16_t unit = AnsiCharToUnicode(c);
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

void AppendHexValue(std::string& line, const RegValue& value) {
  char prefix[24];
  if (value.dwType == REG_BINARY)
    std::snprintf(prefix, sizeof prefix, "hex:");
  else
    std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(value.dwType));
  line += prefix;
  const std::string bytes = HexDataOf(value);
  size_t nColumn = line.size();
  for (size_t i = 0; i < bytes.size(); ++i) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(bytes[i]));
    line += digits;
    if (i + 1 == bytes.size()) break;
    line += ',';
    nColumn += 3;
    if (nColumn >= kHexBreakColumn) {
      line += "\\\r\n  ";
      nColumn = 2;
    }
  }
}

std::string FormatValueLine(const std::string& name, const RegValue& value, Style style) {
  std::string line;
  if (name.empty())
    line = "@";
  else
    AppendQuoted(line, name);
  line += '=';
  std::string_view text;
  if (QuotableText(value, style, text)) {
    AppendQuoted(line, text);
  } else if (value.dwType == REG_DWORD && value.data.size() == 4) {
    char digits[16];
    const uint32_t dw = value.data[0] | value.data[1] << 8 | value.data[2] << 16 |
                        static_cast<uint32_t>(value.data[3]) << 24;
    std::snprintf(digits, sizeof digits, "dword:%08x", static_cast<unsigned>(dw));
    line += digits;
  } else {
    AppendHexValue(line, value);
  }
  return line + "\r\n";
}

class RegTextWriter {
 public:
  RegTextWriter(Registry& registry, RegRoot root, RegView view, Style style, std::string& out,
                const std::vector<std::string>& skippedKeys = {})
      : registry_(registry),
        root_(root),
        view_(view),
        style_(style),
        out_(out),
        skippedKeys_(skippedKeys) {}

  uint32_t WriteKey(const std::string& keyPath, const std::string& fullName) {
    out_ += "[" + fullName + "]\r\n";
    if (uint32_t dwError = WriteValues(keyPath)) return dwError;
    out_ += "\r\n";
    std::vector<std::string> subkeys;
    if (uint32_t dwError = ListSubkeys(keyPath, subkeys)) return dwError;
    for (const std::string& subkey : subkeys) {
      const std::string subPath = keyPath.empty() ? subkey : keyPath + "\\" + subkey;
      const std::string subName = fullName + "\\" + subkey;
      if (IsSkipped(subName)) continue;
      const size_t nWritten = out_.size();
      const uint32_t dwError = WriteKey(subPath, subName);
      if (IsUnreadable(dwError))
        out_.resize(nWritten);
      else if (dwError)
        return dwError;
    }
    return ERROR_SUCCESS;
  }

 private:
  uint32_t WriteValues(const std::string& keyPath) {
    for (uint32_t i = 0;; ++i) {
      std::string name;
      RegValue value;
      const uint32_t dwError = registry_.EnumValue(root_, keyPath, i, name, value, view_);
      if (dwError == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
      if (dwError) return dwError;
      out_ += FormatValueLine(name, value, style_);
    }
  }

  uint32_t ListSubkeys(const std::string& keyPath, std::vector<std::string>& subkeys) {
    for (uint32_t i = 0;; ++i) {
      std::string name;
      const uint32_t dwError = registry_.EnumKey(root_, keyPath, i, name, view_);
      if (dwError == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
      if (dwError) return dwError;
      subkeys.push_back(std::move(name));
    }
  }

  // A key that a snapshot of a running system lists but cannot open (a link to no key, one that
  // only the system may read) is left out with what was written of it; reg export fails on it.
  bool IsUnreadable(uint32_t dwError) const {
    return style_ == Style::Exact &&
           (dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_ACCESS_DENIED);
  }

  bool IsSkipped(const std::string& fullName) const {
    for (const std::string& skipped : skippedKeys_)
      if (AnsiMatchesPattern(skipped, fullName)) return true;
    return false;
  }

  Registry& registry_;
  RegRoot root_;
  RegView view_;
  Style style_;
  std::string& out_;
  const std::vector<std::string>& skippedKeys_;
};

constexpr const char* kVersion5Header = "Windows Registry Editor Version 5.00\r\n\r\n";

// Appends the tree of keyPath below root to ansi.
uint32_t AppendKeyTree(Registry& registry, RegRoot root, const std::string& keyPath, RegView view,
                       Style style, std::string& ansi,
                       const std::vector<std::string>& skippedKeys = {}) {
  if (uint32_t dwError = registry.OpenKey(root, keyPath, view)) return dwError;
  std::string path = keyPath;
  while (!path.empty() && path.back() == '\\') path.pop_back();
  if (!path.empty() && path.front() == '\\') path.erase(0, 1);  // tolerated below HKCR only
  std::string fullName(RegRootName(root));
  if (!path.empty()) fullName += "\\" + path;
  return RegTextWriter(registry, root, view, style, ansi, skippedKeys).WriteKey(path, fullName);
}

}  // namespace

uint32_t ExportRegText(Registry& registry, RegRoot root, const std::string& keyPath,
                       std::string& text, RegView view) {
  std::string ansi = kVersion5Header;
  if (uint32_t dwError = AppendKeyTree(registry, root, keyPath, view, Style::RegExport, ansi))
    return dwError;
  text = AnsiToUtf8(ansi);
  return ERROR_SUCCESS;
}

uint32_t ExportWholeRegistry(Registry& registry, std::string& text,
                             const std::vector<std::string>& skippedKeys) {
  std::string ansi = kVersion5Header;
  for (RegRoot root : {RegRoot::LocalMachine, RegRoot::Users})
    if (uint32_t dwError =
            AppendKeyTree(registry, root, "", RegView::Default, Style::Exact, ansi, skippedKeys))
      return dwError;
  text = AnsiToUtf8(ansi);
  return ERROR_SUCCESS;
}

std::string RegTextAsUtf16(std::string_view utf8Text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : Utf8ToUtf16(utf8Text))
    bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  return bytes;
}

}  // namespace platform
