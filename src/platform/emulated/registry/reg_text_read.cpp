// Reading .reg text. The bytes are first decoded to Windows-1252 (UTF-16LE after its BOM, UTF-8
// when they are valid UTF-8, else taken as Windows-1252, which is how REGEDIT4 files are written),
// then read line by line into operations. Hex data runs on over lines that end in a backslash;
// in version 5 files the string types given as hex (hex(1), hex(2), hex(7)) hold UTF-16LE and are
// converted, in REGEDIT4 files they are the bytes themselves. The whole text is read before
// anything is applied, so that a malformed line leaves the registry as it was.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "platform/ansi_case.h"
#include "platform/code_page.h"
#include "platform/emulated/registry/reg_text.h"
#include "platform/emulated/registry/registry_path.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

constexpr std::string_view kHeaderVersion5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeaderVersion4 = "REGEDIT4";

struct RootName {
  RegRoot root;
  std::string_view longName;
  std::string_view shortName;
};
constexpr std::array<RootName, 5> kRootNames = {{
    {RegRoot::LocalMachine, "HKEY_LOCAL_MACHINE", "HKLM"},
    {RegRoot::CurrentUser, "HKEY_CURRENT_USER", "HKCU"},
    {RegRoot::ClassesRoot, "HKEY_CLASSES_ROOT", "HKCR"},
    {RegRoot::Users, "HKEY_USERS", "HKU"},
    {RegRoot::CurrentConfig, "HKEY_CURRENT_CONFIG", "HKCC"},
}};

std::optional<RegRoot> FindRoot(std::string_view name) {
  const std::string folded = FoldRegName(name);
  for (const RootName& entry : kRootNames)
    if (folded == entry.longName || folded == entry.shortName) return entry.root;
  return std::nullopt;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view TrimLeft(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A number of 1 to nMaxDigits hexadecimal digits and nothing else.
std::optional<uint32_t> ReadHexNumber(std::string_view text, size_t nMaxDigits) {
  if (text.empty() || text.size() > nMaxDigits) return std::nullopt;
  uint32_t nValue = 0;
  for (char c : text) {
    const int nDigit = HexDigit(c);
    if (nDigit < 0) return std::nullopt;
    nValue = nValue << 4 | static_cast<uint32_t>(nDigit);
  }
  return nValue;
}

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

// UTF-16LE bytes to Windows-1252, keeping zero characters (they separate REG_MULTI_SZ strings).
// An odd last byte counts as a character of its own.
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

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  return lines;
}

// Reads a quoted text at text[pos] (which is '"') up to its closing quote; \\ and \" stand for
// the character after the backslash, any other backslash is kept.
bool ReadQuoted(std::string_view text, size_t& pos, std::string& out) {
  for (++pos; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c == '"') {
      ++pos;
      return true;
    }
    if (c == '\\' && pos + 1 < text.size() && (text[pos + 1] == '\\' || text[pos + 1] == '"'))
      ++pos;
    out += text[pos];
  }
  return false;
}

class RegTextReader {
 public:
  RegTextReader(std::string_view text, std::vector<RegTextOp>& ops, RegTextError& error)
      : lines_(SplitLines(text)), ops_(ops), error_(error) {}

  uint32_t Read() {
    if (!ReadHeader()) return ERROR_INVALID_DATA;
    for (++iLine_; iLine_ < lines_.size(); ++iLine_) {
      nLine_ = static_cast<uint32_t>(iLine_ + 1);
      const std::string_view line = TrimLeft(lines_[iLine_]);
      if (line.empty() || line.front() == ';') continue;
      if (!ReadLine(line)) return ERROR_INVALID_DATA;
    }
    return ERROR_SUCCESS;
  }

 private:
  enum class Section { None, Key, DeletedKey };

  bool Fail(std::string message) {
    error_ = RegTextError{nLine_, std::move(message)};
    return false;
  }

  bool ReadHeader() {
    while (iLine_ < lines_.size() && TrimRight(lines_[iLine_]).empty()) ++iLine_;
    nLine_ = static_cast<uint32_t>(iLine_ + 1);
    const std::string_view header = iLine_ < lines_.size() ? TrimRight(lines_[iLine_]) : "";
    if (header == kHeaderVersion5)
      bUnicodeHex_ = true;
    else if (header != kHeaderVersion4)
      return Fail(
          "not a registry file: the first line must be \"Windows Registry Editor "
          "Version 5.00\" or \"REGEDIT4\"");
    return true;
  }

  bool ReadLine(std::string_view line) {
    if (line.front() == '[') return ReadKeyLine(line);
    if (line.front() == '"' || line.front() == '@') return ReadValueLine(line);
    return Fail("not a key or value line");
  }

  bool ReadKeyLine(std::string_view line) {
    const size_t close = line.rfind(']');
    if (close == std::string_view::npos) return Fail("key line without closing ']'");
    if (!TrimLeft(line.substr(close + 1)).empty()) return Fail("text after the key's ']'");
    std::string_view name = line.substr(1, close - 1);
    const bool bDelete = !name.empty() && name.front() == '-';
    if (bDelete) name.remove_prefix(1);
    if (!ReadKeyName(name)) return false;
    if (bDelete && keyPath_.empty()) return Fail("a root key cannot be deleted");
    section_ = bDelete ? Section::DeletedKey : Section::Key;
    RegTextOp op;
    op.kind = bDelete ? RegTextOp::Kind::DeleteTree : RegTextOp::Kind::CreateKey;
    Emit(std::move(op));
    return true;
  }

  // "ROOT\path\to\key": sets root_ and keyPath_.
  bool ReadKeyName(std::string_view name) {
    const size_t cut = name.find('\\');
    const auto root = FindRoot(name.substr(0, cut));
    if (!root) return Fail("unknown root key '" + std::string(name.substr(0, cut)) + "'");
    std::string_view path = cut == std::string_view::npos ? "" : name.substr(cut + 1);
    while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    for (std::string_view rest = path; !rest.empty();) {
      const size_t next = rest.find('\\');
      const std::string_view part = rest.substr(0, next);
      if (part.empty()) return Fail("empty key name in the key path");
      if (part.size() > kMaxKeyNameLen) return Fail("key name longer than 255 characters");
      if (part.find('\0') != std::string_view::npos) return Fail("zero character in a key name");
      rest = next == std::string_view::npos ? "" : rest.substr(next + 1);
    }
    root_ = *root;
    keyPath_ = std::string(path);
    return true;
  }

  bool ReadValueLine(std::string_view line) {
    if (section_ == Section::None) return Fail("value line before the first key");
    if (section_ == Section::DeletedKey) return Fail("value line below a deleted key");
    RegTextOp op;
    size_t pos = 1;  // after "@", the default value's name
    if (line.front() == '"') {
      pos = 0;
      if (!ReadQuoted(line, pos, op.valueName)) return Fail("value name without closing quote");
      if (op.valueName.find('\0') != std::string::npos)
        return Fail("zero character in a value name");
    }
    const std::string_view rest = TrimLeft(line.substr(pos));
    if (rest.empty() || rest.front() != '=') return Fail("'=' missing after the value name");
    const std::string_view data = TrimLeft(rest.substr(1));
    if (!ReadValueData(data, op)) return false;
    Emit(std::move(op));
    return true;
  }

  bool ReadValueData(std::string_view data, RegTextOp& op) {
    op.kind = RegTextOp::Kind::SetValue;
    if (TrimRight(data) == "-") {
      op.kind = RegTextOp::Kind::DeleteValue;
      return true;
    }
    if (!data.empty() && data.front() == '"') return ReadString(data, op.value);
    if (AnsiStartsWithNoCase(data, "DWORD:")) return ReadDword(data.substr(6), op.value);
    if (AnsiStartsWithNoCase(data, "HEX")) return ReadHex(JoinContinuedLines(data), op.value);
    return Fail("unknown value type (expected \"text\", dword:, hex: or hex(n):)");
  }

  bool ReadString(std::string_view data, RegValue& value) {
    std::string text;
    size_t pos = 0;
    if (!ReadQuoted(data, pos, text)) return Fail("string value without closing quote");
    if (!TrimLeft(data.substr(pos)).empty()) return Fail("text after the string value");
    value.dwType = REG_SZ;
    value.data.assign(text.begin(), text.end());
    value.data.push_back(0);
    return true;
  }

  bool ReadDword(std::string_view digits, RegValue& value) {
    const auto nValue = ReadHexNumber(TrimRight(TrimLeft(digits)), 8);
    if (!nValue) return Fail("dword: needs 1 to 8 hexadecimal digits");
    value.dwType = REG_DWORD;
    value.data = {static_cast<uint8_t>(*nValue), static_cast<uint8_t>(*nValue >> 8),
                  static_cast<uint8_t>(*nValue >> 16), static_cast<uint8_t>(*nValue >> 24)};
    return true;
  }

  // The hex data of this line and of the lines that follow while a line ends in a backslash.
  std::string JoinContinuedLines(std::string_view data) {
    std::string joined;
    for (std::string_view part = TrimRight(data);; part = TrimRight(TrimLeft(lines_[iLine_]))) {
      const bool bContinued = !part.empty() && part.back() == '\\';
      joined += bContinued ? part.substr(0, part.size() - 1) : part;
      if (!bContinued || iLine_ + 1 >= lines_.size()) return joined;
      ++iLine_;
    }
  }

  // "hex:" or "hex(N):" then bytes as two hex digits separated by commas.
  bool ReadHex(std::string_view data, RegValue& value) {
    data.remove_prefix(3);
    value.dwType = REG_BINARY;
    if (!data.empty() && data.front() == '(') {
      const size_t close = data.find(')');
      const auto nType = ReadHexNumber(data.substr(1, close - 1), 8);
      if (close == std::string_view::npos || !nType) return Fail("hex(n): needs a hex type number");
      value.dwType = *nType;
      data.remove_prefix(close + 1);
    }
    if (data.empty() || data.front() != ':') return Fail("':' missing after hex");
    std::string bytes;
    if (!ReadHexBytes(data.substr(1), bytes)) return false;
    const bool bUtf16 =
        value.dwType == REG_SZ || value.dwType == REG_EXPAND_SZ || value.dwType == REG_MULTI_SZ;
    if (bUnicodeHex_ && bUtf16) bytes = Utf16LeToAnsi(bytes);
    value.data.assign(bytes.begin(), bytes.end());
    return true;
  }

  bool ReadHexBytes(std::string_view list, std::string& bytes) {
    list = TrimRight(TrimLeft(list));
    while (!list.empty()) {
      const size_t comma = list.find(',');
      const auto nByte = ReadHexNumber(TrimRight(TrimLeft(list.substr(0, comma))), 2);
      if (!nByte) return Fail("hex data must be bytes of two hex digits separated by commas");
      bytes += static_cast<char>(*nByte);
      list = comma == std::string_view::npos ? "" : TrimLeft(list.substr(comma + 1));
    }
    return true;
  }

  void Emit(RegTextOp op) {
    op.root = root_;
    op.keyPath = keyPath_;
    op.nLine = nLine_;
    ops_.push_back(std::move(op));
  }

  std::vector<std::string_view> lines_;
  std::vector<RegTextOp>& ops_;
  RegTextError& error_;
  size_t iLine_ = 0;
  uint32_t nLine_ = 1;        // first line of the entry being read
  bool bUnicodeHex_ = false;  // version 5: string types given as hex are UTF-16LE
  Section section_ = Section::None;
  RegRoot root_ = RegRoot::LocalMachine;
  std::string keyPath_;
};

uint32_t ApplyRegTextOp(Registry& registry, const RegTextOp& op, RegView view) {
  switch (op.kind) {
    case RegTextOp::Kind::CreateKey:
      return registry.CreateKey(op.root, op.keyPath, false, view);
    case RegTextOp::Kind::DeleteTree:
      return registry.DeleteTree(op.root, op.keyPath, view);
    case RegTextOp::Kind::SetValue:
      return registry.SetValue(op.root, op.keyPath, op.valueName, op.value, view);
    case RegTextOp::Kind::DeleteValue:
      return registry.DeleteValue(op.root, op.keyPath, op.valueName, view);
  }
  return ERROR_INVALID_PARAMETER;
}

}  // namespace

std::string_view RegRootName(RegRoot root) {
  for (const RootName& entry : kRootNames)
    if (entry.root == root) return entry.longName;
  return {};
}

uint32_t ParseRegText(std::string_view bytes, std::vector<RegTextOp>& ops, RegTextError& error) {
  const std::string text = DecodeRegTextBytes(bytes);
  return RegTextReader(text, ops, error).Read();
}

uint32_t ApplyRegTextOps(Registry& registry, const std::vector<RegTextOp>& ops, RegTextError& error,
                         RegView view) {
  for (const RegTextOp& op : ops) {
    const uint32_t dwError = ApplyRegTextOp(registry, op, view);
    const bool bDeleting =
        op.kind == RegTextOp::Kind::DeleteTree || op.kind == RegTextOp::Kind::DeleteValue;
    if (dwError == ERROR_SUCCESS || (bDeleting && dwError == ERROR_FILE_NOT_FOUND)) continue;
    error =
        RegTextError{op.nLine, "the registry refused the line: error " + std::to_string(dwError)};
    return dwError;
  }
  return ERROR_SUCCESS;
}

uint32_t ImportRegText(Registry& registry, std::string_view bytes, RegTextError& error,
                       RegView view) {
  std::vector<RegTextOp> ops;
  if (uint32_t dwError = ParseRegText(bytes, ops, error)) return dwError;
  return ApplyRegTextOps(registry, ops, error, view);
}

}  // namespace platform::emulated
