// The Windows path parser and normaliser. It is a pure function of the text and the current
// directories, so that it can be fuzzed and tested without a machine; the host mapping of the
// result is PathResolver's.
#include "platform/emulated/files/win_path.h"

#include <string.h>

#include <array>

#include "platform/ansi_case.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

// The wildcards of a search pattern: kernel32's '*' and '?', and the kernel's own '<', '>', '"'.
bool IsWildcard(char c) {
  return c == '*' || c == '?' || c == '<' || c == '>' || c == '"';
}

constexpr std::array<bool, 256> MakeForbiddenTable() {
  std::array<bool, 256> table{};
  for (int c = 0; c < 0x20; ++c) table[c] = true;
  for (unsigned char c : std::string_view("<>:\"|*?")) table[c] = true;
  return table;
}

// Characters Windows refuses in a name (the wildcards among them).
bool IsForbiddenInName(char c) {
  static constexpr std::array<bool, 256> kForbidden = MakeForbiddenTable();
  return kForbidden[static_cast<unsigned char>(c)];
}

// How the scan for a plain path sees a character: part of a name, the separator, or a character
// such a path never has (a refused one, or the forward slash the parser would turn around).
enum class PlainScan : uint8_t { kInName, kSeparator, kRefused };

constexpr std::array<PlainScan, 256> MakePlainScanTable() {
  constexpr std::array<bool, 256> kForbidden = MakeForbiddenTable();
  std::array<PlainScan, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = kForbidden[c] ? PlainScan::kRefused : PlainScan::kInName;
  table['/'] = PlainScan::kRefused;
  table['\\'] = PlainScan::kSeparator;
  return table;
}

// Whether text[nStart, nEnd) is a name the parser keeps as it is written.
bool IsKeptAsWritten(std::string_view text, size_t nStart, size_t nEnd) {
  return nEnd > nStart && nEnd - nStart <= kMaxNameText && text[nEnd - 1] != '.' &&
         text[nEnd - 1] != ' ';
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

// Whether the text needs StripLongPrefix: it has a prefix or a forward slash. Most paths have
// neither and are parsed where they are, without a copy.
bool NeedsNormalForm(std::string_view text) {
  return text.find('/') != std::string_view::npos || StartsWith(text, "\\\\?\\") ||
         StartsWith(text, "\\??\\");
}

// "\\?\" (and "//?/") keeps the rest as it is; "\\?\UNC\" stands for "\\".
// "\??\" is the kernel's form the pending-rename list uses.
std::string StripLongPrefix(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c == '/') c = '\\';
  if (StartsWith(out, "\\\\?\\") || StartsWith(out, "\\??\\")) {
    out.erase(0, 4);
    if (out.size() >= 4 && AnsiEqualNoCase(std::string_view(out).substr(0, 4), "UNC\\"))
      out.replace(0, 4, "\\\\");
  }
  return out;
}

// Cuts trailing dots and blanks, which Windows never keeps at the end of a name.
std::string_view TrimNameEnd(std::string_view name) {
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.remove_suffix(1);
  return name;
}

uint32_t CheckName(std::string_view name, bool bWildcards) {
  if (name.size() > kMaxNameText) return ERROR_FILENAME_EXCED_RANGE;
  for (char c : name)
    if (IsForbiddenInName(c) && !(bWildcards && IsWildcard(c))) return ERROR_INVALID_NAME;
  return ERROR_SUCCESS;
}

// Applies the names of `rest` to `parts`: ".." removes the last name (never above the root).
uint32_t AppendNames(std::string_view rest, bool bWildcards, std::vector<std::string>& parts) {
  size_t nPos = 0;
  while (nPos <= rest.size()) {
    size_t nEnd = rest.find('\\', nPos);
    if (nEnd == std::string_view::npos) nEnd = rest.size();
    const bool bLast = nEnd == rest.size();
    std::string_view name = rest.substr(nPos, nEnd - nPos);
    nPos = nEnd + 1;
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    const bool bPattern = bWildcards && bLast;
    if (!bPattern) name = TrimNameEnd(name);
    if (name.empty()) continue;
    if (uint32_t err = CheckName(name, bPattern)) return err;
    parts.emplace_back(name);
  }
  return ERROR_SUCCESS;
}

uint32_t ParseUncRoot(std::string_view& rest, WinPath& path) {
  rest.remove_prefix(2);
  const size_t nServerEnd = rest.find('\\');
  path.server = std::string(rest.substr(0, nServerEnd));
  if (path.server == ".") return ERROR_INVALID_NAME;  // device paths are not files
  if (nServerEnd == std::string_view::npos) return ERROR_BAD_PATHNAME;
  rest.remove_prefix(nServerEnd + 1);
  const size_t nShareEnd = rest.find('\\');
  path.share = std::string(rest.substr(0, nShareEnd));
  rest = nShareEnd == std::string_view::npos ? std::string_view() : rest.substr(nShareEnd + 1);
  if (path.server.empty() || path.share.empty()) return ERROR_BAD_PATHNAME;
  if (CheckName(path.server, false) || CheckName(path.share, false)) return ERROR_INVALID_NAME;
  return ERROR_SUCCESS;
}

// Sets the root of `path` and leaves in `rest` the names to apply to its starting parts.
uint32_t ParseRoot(std::string_view& rest, const CurrentDirectories& dirs, WinPath& path) {
  if (StartsWith(rest, "\\\\")) return ParseUncRoot(rest, path);
  const bool bDrive = rest.size() >= 2 && rest[1] == ':' &&
                      ((rest[0] >= 'A' && rest[0] <= 'Z') || (rest[0] >= 'a' && rest[0] <= 'z'));
  if (bDrive) {
    path.cDrive = AnsiUpperChar(rest[0]);
    rest.remove_prefix(2);
    if (!rest.empty() && rest[0] == '\\') return ERROR_SUCCESS;  // "C:\..." from the root
    if (path.cDrive == dirs.current.cDrive)
      path.parts = dirs.current.parts;
    else
      path.parts = dirs.driveParts[path.cDrive - 'A'];
    return ERROR_SUCCESS;
  }
  path.cDrive = dirs.current.cDrive;
  path.server = dirs.current.server;
  path.share = dirs.current.share;
  if (rest.empty() || rest[0] != '\\') path.parts = dirs.current.parts;  // relative
  return ERROR_SUCCESS;
}

void AppendRoot(const WinPath& path, std::string& out) {
  if (path.IsUnc()) {
    out += "\\\\";
    out += path.server;
    out += '\\';
    out += path.share;
  } else {
    out += path.cDrive;
    out += ':';
  }
}

// Upper-cases text[nFrom..], where a name starts, into pKey[nFrom..] and counts its names into
// nNames; false when a character is not plain or a name is not kept as written.
bool ScanPlainNames(std::string_view text, size_t nFrom, char* pKey, size_t& nNames) {
  static constexpr std::array<PlainScan, 256> kScan = MakePlainScanTable();
  size_t nNameStart = nFrom;
  for (size_t i = nFrom; i < text.size(); ++i) {
    const char c = text[i];
    pKey[i] = AnsiUpperChar(c);
    const PlainScan scan = kScan[static_cast<unsigned char>(c)];
    if (scan == PlainScan::kInName) continue;
    if (scan == PlainScan::kRefused || !IsKeptAsWritten(text, nNameStart, i)) return false;
    ++nNames;
    nNameStart = i + 1;
  }
  if (!IsKeptAsWritten(text, nNameStart, text.size())) return false;
  ++nNames;
  return true;
}

}  // namespace

uint32_t ParseWindowsPath(std::string_view text, const CurrentDirectories& dirs, WinPath& path,
                          bool bWildcards) {
  path = WinPath();
  if (text.empty()) return ERROR_PATH_NOT_FOUND;
  if (text.size() > kMaxPathText) return ERROR_FILENAME_EXCED_RANGE;
  const bool bNormalised = NeedsNormalForm(text);
  const std::string normal = bNormalised ? StripLongPrefix(text) : std::string();
  std::string_view rest = bNormalised ? std::string_view(normal) : text;
  if (uint32_t err = ParseRoot(rest, dirs, path)) return err;
  path.parts.reserve(path.parts.size() + 8);  // one allocation for the usual depth
  if (uint32_t err = AppendNames(rest, bWildcards, path.parts)) return err;
  path.bTrailingSeparator = !path.parts.empty() && IsSeparator(text.back());
  return ERROR_SUCCESS;
}

bool KeyOfPlainDrivePath(std::string_view text, std::string& key, size_t& nNames) {
  const bool bDrive = text.size() > 3 && text[1] == ':' && text[2] == '\\' &&
                      ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
  if (!bDrive || text.size() > kMaxPathText) return false;
  key.resize(text.size());
  char* pKey = key.data();
  pKey[0] = AnsiUpperChar(text[0]);
  pKey[1] = ':';
  pKey[2] = '\\';
  nNames = 0;
  return ScanPlainNames(text, 3, pKey, nNames);
}

bool PlainPathKeys::Make(std::string_view text, std::string& key, size_t& nNames) {
  const std::string* pKey = MakeKey(text, nNames);
  if (pKey) key = *pKey;
  return pKey != nullptr;
}

const std::string* PlainPathKeys::MakeKey(std::string_view text, size_t& nNames) {
  // The library's backward search: every path the file system is asked about comes here.
  const void* pLast = ::memrchr(text.data(), '\\', text.size());
  const size_t nLast = pLast ? static_cast<size_t>(static_cast<const char*>(pLast) - text.data())
                             : std::string_view::npos;
  m_nLastNameStart = nLast + 1;  // 0 without a backslash
  const bool bInFolder = nLast != std::string_view::npos && nLast > 2;
  if (bInFolder && text.size() <= kMaxPathText) {
    const std::string_view folder = text.substr(0, nLast);
    for (Folder& known : m_folders) {
      if (known.text != folder) continue;
      known.key.resize(text.size());
      nNames = known.nNames;
      return ScanPlainNames(text, nLast + 1, known.key.data(), nNames) ? &known.key : nullptr;
    }
  }
  if (!KeyOfPlainDrivePath(text, m_key, nNames)) return nullptr;
  if (!bInFolder) return &m_key;
  Folder& folder = m_folders[m_nNext];
  m_nNext = (m_nNext + 1) % m_folders.size();
  folder.text.assign(text, 0, nLast);
  folder.key.swap(m_key);
  folder.nNames = nNames - 1;
  return &folder.key;
}

std::string FormatWindowsPath(const WinPath& path) {
  std::string out;
  AppendRoot(path, out);
  if (path.parts.empty() && !path.IsUnc()) out += '\\';
  for (const std::string& part : path.parts) {
    out += '\\';
    out += part;
  }
  return out;
}

std::string FoldedPathKey(const WinPath& path) {
  return AnsiUpper(FormatWindowsPath(path));
}

std::string NtPathOf(const WinPath& path) {
  const std::string text = FormatWindowsPath(path);
  return path.IsUnc() ? "\\??\\UNC" + text.substr(1) : "\\??\\" + text;
}

WinPath ParentOf(const WinPath& path) {
  WinPath parent = path;
  parent.bTrailingSeparator = false;
  if (!parent.parts.empty()) parent.parts.pop_back();
  return parent;
}

bool IsSameOrBelow(const WinPath& inner, const WinPath& outer) {
  if (inner.cDrive != outer.cDrive || !AnsiEqualNoCase(inner.server, outer.server) ||
      !AnsiEqualNoCase(inner.share, outer.share) || inner.parts.size() < outer.parts.size())
    return false;
  for (size_t i = 0; i < outer.parts.size(); ++i)
    if (!AnsiEqualNoCase(inner.parts[i], outer.parts[i])) return false;
  return true;
}

}  // namespace platform::emulated
