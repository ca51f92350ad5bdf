// Reading .reg text as Windows' reg import reads it. The bytes are decoded to Windows-1252, then
// read line by line: a key line opens a key (or deletes a tree) and the value lines below it set
// or delete values. A line that cannot be read is skipped and reported, and the lines after it are
// read on their own; a value line whose key line was skipped or deleted a tree is skipped too.
// Hex data goes on over lines while a line ends in ",\" (a comment may follow the backslash);
// blank and ";" lines in between are passed over, and a line that does not start with a hex digit
// ends the value as unreadable. In version 5 files the string types given as hex (hex(1), hex(2),
// hex(7)) hold UTF-16LE and are converted, in REGEDIT4 files they are the bytes themselves.
#include <optional>
#include <string>
#include <vector>

#include "platform/ansi_case.h"
#include "platform/emulated/registry/reg_text.h"
#include "platform/emulated/registry/reg_text_decode.h"
#include "platform/emulated/registry/registry_path.h"
#include "platform/reg_root_names.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

constexpr std::string_view kHeaderVersion5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeaderVersion4 = "REGEDIT4";
constexpr std::string_view kHeaderWindows31 = "REGEDIT";

std::optional<RegRoot> FindRoot(std::string_view name) {
  return RegRootOfName(FoldRegName(name));
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view TrimLeft(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

// Nothing but blanks, or blanks and a ";" comment.
bool IsEndOfLine(std::string_view text) {
  text = TrimLeft(text);
  return text.empty() || text.front() == ';';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// How many hexadecimal digits text starts with.
size_t CountHexDigits(std::string_view text) {
  size_t n = 0;
  while (n < text.size() && HexDigit(text[n]) >= 0) ++n;
  return n;
}

uint32_t HexNumber(std::string_view digits) {
  uint32_t nValue = 0;
  for (char c : digits) nValue = nValue << 4 | static_cast<uint32_t>(HexDigit(c));
  return nValue;
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

enum class Quoted { Closed, Unclosed, EscapedZero };

// Reads a quoted text at text[pos] (which is '"') up to its closing quote. \\ and \" stand for the
// character after the backslash, \0 makes the text unreadable, any other backslash is kept.
Quoted ReadQuoted(std::string_view text, size_t& pos, std::string& out) {
  for (++pos; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c == '"') {
      ++pos;
      return Quoted::Closed;
    }
    if (c == '\\' && pos + 1 < text.size()) {
      const char next = text[pos + 1];
      if (next == '0') return Quoted::EscapedZero;
      if (next == '\\' || next == '"') ++pos;
    }
    out += text[pos];
  }
  return Quoted::Unclosed;
}

// How a run of hex data on one line ends.
enum class HexRun { End, Continued, Unreadable };

class RegTextReader {
 public:
  RegTextReader(std::string_view text, RegTextReading reading, std::vector<RegTextOp>& ops,
                std::vector<RegTextError>& skipped)
      : lines_(SplitLines(text)), reading_(reading), ops_(ops), skipped_(skipped) {}

  uint32_t Read(RegTextError& error) {
    const std::string_view header = lines_.empty() ? "" : TrimLeft(lines_[0]);
    if (header == kHeaderVersion5) {
      bUnicodeHex_ = true;
    } else if (header != kHeaderVersion4) {
      if (header.substr(0, kHeaderWindows31.size()) != kHeaderWindows31) {
        error = RegTextError{1,
                             "not a registry file: the first line must be \"Windows Registry "
                             "Editor Version 5.00\" or \"REGEDIT4\""};
        return ERROR_INVALID_DATA;
      }
      Skip("a Windows 3.1 registry file (or another REGEDIT version): nothing is read");
      return ERROR_SUCCESS;
    }
    for (iLine_ = 1; iLine_ < lines_.size(); ++iLine_) {
      nLine_ = static_cast<uint32_t>(iLine_ + 1);
      ReadLine(TrimLeft(lines_[iLine_]));
    }
    return ERROR_SUCCESS;
  }

 private:
  void Skip(std::string reason) {
    skipped_.push_back(RegTextError{static_cast<uint32_t>(iLine_ + 1), std::move(reason)});
  }

  void ReadLine(std::string_view line) {
    if (line.empty() || line.front() == ';' || line.front() == '#') return;
    if (line.front() == '[') return ReadKeyLine(line.substr(1));
    if (line.front() == '"' || line.front() == '@') return ReadValueLine(line);
    Skip("not a key, value or comment line");
  }

  void ReadKeyLine(std::string_view name) {
    bInKey_ = false;  // also when the line is unreadable: its values must not land elsewhere
    const size_t close = name.rfind(']');
    if (close == std::string_view::npos) return Skip("key line without closing ']'");
    name = name.substr(0, close);
    const bool bDelete = !name.empty() && name.front() == '-';
    if (bDelete) name.remove_prefix(1);
    if (!ReadKeyName(name)) return;
    if (bDelete && keyPath_.empty()) return Skip("a root key cannot be deleted");
    bInKey_ = !bDelete;
    RegTextOp op;
    op.kind = bDelete ? RegTextOp::Kind::DeleteTree : RegTextOp::Kind::CreateKey;
    Emit(std::move(op));
  }

  // "ROOT\path\to\key": sets root_ and keyPath_. Trailing backslashes are dropped.
  bool ReadKeyName(std::string_view name) {
    const size_t cut = name.find('\\');
    const auto root = FindRoot(name.substr(0, cut));
    if (!root) {
      Skip("unknown root key '" + std::string(name.substr(0, cut)) + "'");
      return false;
    }
    std::string_view path = cut == std::string_view::npos ? "" : name.substr(cut + 1);
    while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    if (path.find("\\\\") != std::string_view::npos || (!path.empty() && path.front() == '\\')) {
      Skip("empty key name in the key path");
      return false;
    }
    if (path.find('\0') != std::string_view::npos) {
      Skip("zero character in a key name");
      return false;
    }
    root_ = *root;
    keyPath_ = std::string(path);
    return true;
  }

  void ReadValueLine(std::string_view line) {
    RegTextOp op;
    size_t pos = 1;  // after "@", the default value's name
    if (line.front() == '"') {
      pos = 0;
      const Quoted name = ReadQuoted(line, pos, op.valueName);
      if (name == Quoted::EscapedZero) return Skip("\\0 in a value name");
      if (name == Quoted::Unclosed) return Skip("value name without closing quote");
    }
    const std::string_view rest = TrimLeft(line.substr(pos));
    if (rest.empty() || rest.front() != '=') return Skip("'=' missing after the value name");
    if (!ReadValueData(TrimLeft(rest.substr(1)), op)) return;
    if (!bInKey_) return Skip("value line without a key (its key line was skipped or deleted)");
    Emit(std::move(op));
  }

  bool ReadValueData(std::string_view data, RegTextOp& op) {
    op.kind = RegTextOp::Kind::SetValue;
    if (!data.empty() && data.front() == '-') {
      op.kind = RegTextOp::Kind::DeleteValue;
      if (IsEndOfLine(data.substr(1))) return true;
      Skip("text after '-'");
      return false;
    }
    if (!data.empty() && data.front() == '"') return ReadString(data, op.value);
    if (AnsiStartsWithNoCase(data, "dword:")) return ReadDword(data.substr(6), op.value);
    if (AnsiStartsWithNoCase(data, "hex")) return ReadHexValue(data.substr(3), op.value);
    Skip("unknown value type (expected \"text\", dword:, hex: or hex(n):)");
    return false;
  }

  bool ReadString(std::string_view data, RegValue& value) {
    std::string text;
    size_t pos = 0;
    const Quoted quoted = ReadQuoted(data, pos, text);
    if (quoted != Quoted::Closed) {
      Skip(quoted == Quoted::EscapedZero ? "\\0 in a string" : "string without closing quote");
      return false;
    }
    if (!IsEndOfLine(data.substr(pos))) {
      Skip("text after the string");
      return false;
    }
    value.dwType = REG_SZ;
    value.data.assign(text.begin(), text.end());
    value.data.push_back(0);
    return true;
  }

  bool ReadDword(std::string_view digits, RegValue& value) {
    digits = TrimLeft(digits);
    const size_t nDigits = CountHexDigits(digits);
    if (nDigits == 0 || nDigits > 8 || !IsEndOfLine(digits.substr(nDigits))) {
      Skip("dword: needs 1 to 8 hexadecimal digits");
      return false;
    }
    const uint32_t nValue = HexNumber(digits.substr(0, nDigits));
    value.dwType = REG_DWORD;
    value.data = {static_cast<uint8_t>(nValue), static_cast<uint8_t>(nValue >> 8),
                  static_cast<uint8_t>(nValue >> 16), static_cast<uint8_t>(nValue >> 24)};
    return true;
  }

  // After "hex": ":" or "(N):" with N of 1 to 8 hex digits, then the bytes.
  bool ReadHexValue(std::string_view data, RegValue& value) {
    value.dwType = REG_BINARY;
    if (!data.empty() && data.front() == '(') {
      const size_t nDigits = CountHexDigits(data.substr(1));
      if (nDigits == 0 || nDigits > 8 || data.substr(1 + nDigits, 1) != ")") {
        Skip("hex(n): needs a type of 1 to 8 hexadecimal digits");
        return false;
      }
      value.dwType = HexNumber(data.substr(1, nDigits));
      data.remove_prefix(nDigits + 2);
    }
    if (data.empty() || data.front() != ':') {
      Skip("':' missing after hex");
      return false;
    }
    std::string bytes;
    if (!ReadHexBytes(data.substr(1), bytes)) return false;
    StoreHexData(bytes, value);
    return true;
  }

  // The bytes of this line and of the lines it continues on.
  bool ReadHexBytes(std::string_view run, std::string& bytes) {
    for (;;) {
      const HexRun end = ReadHexRun(run, bytes);
      if (end == HexRun::End) return true;
      if (end == HexRun::Unreadable || !IsEndOfLine(run)) {
        Skip("unreadable hex data");
        return false;
      }
      if (!NextHexLine(run)) return true;  // the file ends: what was read stands
      if (HexDigit(run.front()) < 0) {
        Skip("hex data goes on with a line that does not start with a hex digit");
        return false;
      }
    }
  }

  // The next line of continued hex data, blanks and comment lines passed over; false at the end.
  bool NextHexLine(std::string_view& run) {
    while (iLine_ + 1 < lines_.size()) {
      run = TrimLeft(lines_[++iLine_]);
      if (!run.empty() && run.front() != ';') return true;
    }
    return false;
  }

  // Bytes of one or two hex digits separated by commas. A backslash where a byte could start asks
  // for the next line (run is left after it); a ";" there ends the data.
  static HexRun ReadHexRun(std::string_view& run, std::string& bytes) {
    while (!run.empty()) {
      run = TrimLeft(run);
      const size_t nDigits = CountHexDigits(run);
      if (nDigits == 0) {
        if (run.empty() || run.front() == ';') return HexRun::End;
        if (run.front() != '\\') return HexRun::Unreadable;
        run.remove_prefix(1);
        return HexRun::Continued;
      }
      if (nDigits > 2) return HexRun::Unreadable;
      bytes += static_cast<char>(HexNumber(run.substr(0, nDigits)));
      run.remove_prefix(nDigits);
      if (run.empty() || run.front() != ',')
        return IsEndOfLine(run) ? HexRun::End : HexRun::Unreadable;
      run.remove_prefix(1);
    }
    return HexRun::End;
  }

  void StoreHexData(const std::string& bytes, RegValue& value) const {
    const bool bString =
        value.dwType == REG_SZ || value.dwType == REG_EXPAND_SZ || value.dwType == REG_MULTI_SZ;
    const std::string data = bString && bUnicodeHex_ ? Utf16LeToAnsi(bytes) : bytes;
    value.data.assign(data.begin(), data.end());
    if (bString && reading_ == RegTextReading::AsRegExe && !data.empty() && data.back() != '\0')
      value.data.push_back(0);
  }

  void Emit(RegTextOp op) {
    op.root = root_;
    op.keyPath = keyPath_;
    op.nLine = nLine_;
    ops_.push_back(std::move(op));
  }

  std::vector<std::string_view> lines_;
  RegTextReading reading_;
  std::vector<RegTextOp>& ops_;
  std::vector<RegTextError>& skipped_;
  size_t iLine_ = 0;
  uint32_t nLine_ = 1;        // first line of the entry being read
  bool bUnicodeHex_ = false;  // version 5: string types given as hex are UTF-16LE
  bool bInKey_ = false;       // the last key line opened a key
  RegRoot root_ = RegRoot::LocalMachine;
  std::string keyPath_;
};

}  // namespace

uint32_t ParseRegText(std::string_view bytes, std::vector<RegTextOp>& ops, RegTextError& error,
                      std::vector<RegTextError>* skipped, RegTextReading reading) {
  const std::string text = DecodeRegTextBytes(bytes);
  std::vector<RegTextError> ignored;
  return RegTextReader(text, reading, ops, skipped ? *skipped : ignored).Read(error);
}

}  // namespace platform::emulated
