// libFuzzer target for the Windows path parser and normaliser and the wildcard matcher. Parsing
// any bytes must not crash; a path that parses must hold only real names (no separators, no "."
// or "..", no empty names) and must read back to itself from its own text and from its kernel
// form, with and without wildcards. The same bytes, split at their first zero, are matched as a
// pattern against a name, where '*' must match every name and a name must match itself in upper
// case. A text the quick key of a plain drive path accepts must parse to a path with that key.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ansi_case.h"
#include "platform/emulated/files/wildcard.h"
#include "platform/emulated/files/win_path.h"
#include "platform/pending_file_renames.h"
#include "platform/win_error.h"

namespace {

using namespace platform::emulated;

void Require(bool bHolds) {
  if (!bHolds) __builtin_trap();
}

CurrentDirectories DriveDirs() {
  CurrentDirectories dirs;
  dirs.current.cDrive = 'C';
  dirs.current.parts = {"Users", "Public"};
  dirs.driveParts['D' - 'A'] = {"Media", "Disk1"};
  return dirs;
}

CurrentDirectories ShareDirs() {
  CurrentDirectories dirs;
  dirs.current.server = "server";
  dirs.current.share = "share";
  dirs.current.parts = {"setup"};
  return dirs;
}

void CheckNames(const WinPath& path, bool bWildcards) {
  for (size_t i = 0; i < path.parts.size(); ++i) {
    const std::string& name = path.parts[i];
    Require(!name.empty() && name != "." && name != "..");
    Require(name.size() <= kMaxNameText);
    Require(name.find_first_of("\\/:") == std::string::npos);
    if (!bWildcards || i + 1 < path.parts.size())
      Require(name.find_first_of("*?") == std::string::npos);
  }
  Require(path.IsUnc() ? !path.server.empty() && !path.share.empty()
                       : path.cDrive >= 'A' && path.cDrive <= 'Z');
}

// The path's text, and its kernel form, parse to the same path again.
void CheckReadsBack(const WinPath& path, const CurrentDirectories& dirs, bool bWildcards) {
  const std::string text = FormatWindowsPath(path);
  if (text.size() > kMaxPathText - 8) return;  // the current directory made it longer
  for (const std::string& again : {text, platform::Win32PathOfNtPath(NtPathOf(path))}) {
    WinPath reread;
    Require(ParseWindowsPath(again, dirs, reread, bWildcards) == platform::ERROR_SUCCESS);
    Require(FormatWindowsPath(reread) == text);
    Require(FoldedPathKey(reread) == FoldedPathKey(path));
  }
}

void CheckPath(std::string_view text, const CurrentDirectories& dirs, bool bWildcards) {
  WinPath path;
  if (ParseWindowsPath(text, dirs, path, bWildcards) != platform::ERROR_SUCCESS) return;
  CheckNames(path, bWildcards);
  CheckReadsBack(path, dirs, bWildcards);
  Require(IsSameOrBelow(path, ParentOf(path)));
}

// A text taken as a plain drive path must be one the parser keeps as written, with the same key.
void CheckPlainKey(std::string_view text, const CurrentDirectories& dirs) {
  static PlainPathKeys keys;  // remembers the folders of earlier inputs
  std::string key, remembered;
  size_t nNames = 0, nRememberedNames = 0;
  const bool bPlain = KeyOfPlainDrivePath(text, key, nNames);
  Require(keys.Make(text, remembered, nRememberedNames) == bPlain);
  if (!bPlain) return;
  Require(remembered == key && nRememberedNames == nNames);
  Require(keys.LastNameStart() == text.rfind('\\') + 1);
  WinPath path;
  Require(ParseWindowsPath(text, dirs, path) == platform::ERROR_SUCCESS);
  Require(FoldedPathKey(path) == key && path.parts.size() == nNames);
  Require(FormatWindowsPath(path).size() == text.size());
}

void CheckWildcard(std::string_view input) {
  const size_t nZero = input.find('\0');
  const std::string_view pattern = input.substr(0, nZero);
  const std::string_view name =
      nZero == std::string_view::npos ? std::string_view() : input.substr(nZero + 1);
  if (pattern.size() > 512 || name.size() > 512) return;  // keeps the quadratic match quick
  MatchesWildcard(pattern, name);
  Require(MatchesWildcard("*", name));
  // A name never ends in a blank, which a pattern loses as any name does.
  const bool bTrailingBlank = !name.empty() && name.back() == ' ';
  if (!HasWildcards(name) && name.find('.') == std::string_view::npos && !bTrailingBlank)
    Require(MatchesWildcard(name, platform::AnsiUpper(name)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
  const std::string_view input(reinterpret_cast<const char*>(pData), nSize);
  static const CurrentDirectories kDriveDirs = DriveDirs();
  static const CurrentDirectories kShareDirs = ShareDirs();
  for (bool bWildcards : {false, true}) {
    CheckPath(input, kDriveDirs, bWildcards);
    CheckPath(input, kShareDirs, bWildcards);
  }
  CheckPlainKey(input, kDriveDirs);
  CheckWildcard(input);
  return 0;
}
