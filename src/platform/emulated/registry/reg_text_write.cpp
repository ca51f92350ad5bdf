// Writing a key tree as version 5 .reg text, in the layout the registry editor produces: a header,
// then for each key (parent before children, subkeys in enumeration order) a blank line, the key
// in brackets and its values in enumeration order. A REG_SZ that is one clean string is written in
// quotes, a four-byte REG_DWORD as dword:, anything else as hex (REG_SZ, REG_EXPAND_SZ and
// REG_MULTI_SZ as their UTF-16LE form, as the editor stores them), so that reading the text back
// gives the same bytes. The text is built in Windows-1252 and converted to UTF-8 at the end.
#include <cstdio>

#include "platform/code_page.h"
#include "platform/emulated/registry/reg_text.h"
#include "platform/win_error.h"

namespace platform::emulated {
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

// A REG_SZ that reads back the same from quotes: one terminating zero, none inside, one line.
bool IsPlainString(const RegValue& value) {
  if (value.dwType != REG_SZ || value.data.empty() || value.data.back() != 0) return false;
  for (size_t i = 0; i + 1 < value.data.size(); ++i)
    if (value.data[i] == 0 || value.data[i] == '\r' || value.data[i] == '\n') return false;
  return true;
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

std::string FormatValueLine(const std::string& name, const RegValue& value) {
  std::string line;
  if (name.empty())
    line = "@";
  else
    AppendQuoted(line, name);
  line += '=';
  if (IsPlainString(value)) {
    AppendQuoted(line, std::string_view(reinterpret_cast<const char*>(value.data.data()),
                                        value.data.size() - 1));
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
  RegTextWriter(Registry& registry, RegRoot root, RegView view, std::string& out)
      : registry_(registry), root_(root), view_(view), out_(out) {}

  uint32_t WriteKey(const std::string& keyPath, const std::string& fullName) {
    out_ += "[" + fullName + "]\r\n";
    if (uint32_t dwError = WriteValues(keyPath)) return dwError;
    out_ += "\r\n";
    std::vector<std::string> subkeys;
    if (uint32_t dwError = ListSubkeys(keyPath, subkeys)) return dwError;
    for (const std::string& subkey : subkeys) {
      const std::string subPath = keyPath.empty() ? subkey : keyPath + "\\" + subkey;
      if (uint32_t dwError = WriteKey(subPath, fullName + "\\" + subkey)) return dwError;
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
      out_ += FormatValueLine(name, value);
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

  Registry& registry_;
  RegRoot root_;
  RegView view_;
  std::string& out_;
};

}  // namespace

namespace {

constexpr const char* kVersion5Header = "Windows Registry Editor Version 5.00\r\n\r\n";

// Appends the tree of keyPath below root to ansi.
uint32_t AppendKeyTree(Registry& registry, RegRoot root, const std::string& keyPath, RegView view,
                       std::string& ansi) {
  if (uint32_t dwError = registry.OpenKey(root, keyPath, view)) return dwError;
  std::string path = keyPath;
  while (!path.empty() && path.back() == '\\') path.pop_back();
  if (!path.empty() && path.front() == '\\') path.erase(0, 1);  // tolerated below HKCR only
  std::string fullName(RegRootName(root));
  if (!path.empty()) fullName += "\\" + path;
  return RegTextWriter(registry, root, view, ansi).WriteKey(path, fullName);
}

}  // namespace

uint32_t ExportRegText(Registry& registry, RegRoot root, const std::string& keyPath,
                       std::string& text, RegView view) {
  std::string ansi = kVersion5Header;
  if (uint32_t dwError = AppendKeyTree(registry, root, keyPath, view, ansi)) return dwError;
  text = AnsiToUtf8(ansi);
  return ERROR_SUCCESS;
}

uint32_t ExportWholeRegistry(Registry& registry, std::string& text) {
  std::string ansi = kVersion5Header;
  for (RegRoot root : {RegRoot::LocalMachine, RegRoot::Users})
    if (uint32_t dwError = AppendKeyTree(registry, root, "", RegView::Default, ansi))
      return dwError;
  text = AnsiToUtf8(ansi);
  return ERROR_SUCCESS;
}

}  // namespace platform::emulated
