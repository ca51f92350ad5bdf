// Windows path syntax for the emulated machine: drive paths ("C:\a", "C:a", "\a", "a"), UNC paths
// ("\\server\share\a") and the "\\?\" and "\??\" prefixes, with either slash, resolved against the
// current directories into a root and a list of names. "." and ".." are applied here, so that no
// path climbs above its root ("C:\..\.." is "C:\"), and the host never sees them.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::emulated {

inline constexpr size_t kMaxPathText = 32767;  // the longest path Windows accepts at all
inline constexpr size_t kMaxNameText = 255;    // the longest name of one component

// A full path: the root (a drive letter, or a UNC server and share) and the names below it.
struct WinPath {
  char cDrive = 0;     // 'A'..'Z' for a drive path, 0 for a UNC path
  std::string server;  // UNC server and share as given; empty for drive paths
  std::string share;
  std::vector<std::string> parts;   // names below the root as given; never "." or ".."
  bool bTrailingSeparator = false;  // the text ended in "\" after a name ("C:\dir\")

  bool IsUnc() const { return cDrive == 0; }
};

// What relative paths are resolved against: the current directory, and for each other drive
// the directory last used there (an empty list is the drive's root).
struct CurrentDirectories {
  WinPath current;
  std::array<std::vector<std::string>, 26> driveParts;
};

// Turns `text` into a full path. Fails with ERROR_PATH_NOT_FOUND (empty text),
// ERROR_INVALID_NAME (a character Windows refuses in a name, or a device path "\\.\..."),
// ERROR_BAD_PATHNAME (a UNC path without a share) or ERROR_FILENAME_EXCED_RANGE. With bWildcards,
// the wildcards '*', '?', '<', '>' and '"' are allowed in the last name and that name keeps its
// trailing dots and blanks.
// Trailing dots and blanks of the other names are cut, as Windows does, and a name that is
// left empty ("...") is dropped.
uint32_t ParseWindowsPath(std::string_view text, const CurrentDirectories& dirs, WinPath& path,
                          bool bWildcards = false);

// The upper-case key of a full drive path ("C:\DIR\A.TXT") whose text is already in the form
// ParseWindowsPath gives it: a drive letter, ":\", and names separated by single backslashes,
// none of them "." or "..", ending in a dot or blank, holding a refused character or too long.
// nNames receives how many names it has. False for any other text (ParseWindowsPath then knows
// what it is); the key is then unspecified.
bool KeyOfPlainDrivePath(std::string_view text, std::string& key, size_t& nNames);

// The same, remembering the last folders it saw: a path in one of them has only its last name
// upper-cased and checked. A copy goes from one folder into another, so the lines of a copy
// section mostly hit.
class PlainPathKeys {
 public:
  bool Make(std::string_view text, std::string& key, size_t& nNames);
  // The same without a copy of the key, which stays here until the next call; null for a text
  // that is not a plain drive path.
  const std::string* MakeKey(std::string_view text, size_t& nNames);
  // Where the last name of the text Make last took starts (after its last backslash).
  size_t LastNameStart() const { return m_nLastNameStart; }

 private:
  struct Folder {
    std::string text;  // as written, without the last backslash
    // Its key, a backslash and the key of the last name made in it: the next name in the
    // folder replaces only that name.
    std::string key;
    size_t nNames = 0;
  };
  std::array<Folder, 2> m_folders;
  size_t m_nNext = 0;
  std::string m_key;  // the key of a path in no remembered folder
  size_t m_nLastNameStart = 0;
};

// "C:\a\b", "C:\" for a root, "\\server\share\a".
std::string FormatWindowsPath(const WinPath& path);
// The same text in upper case: equal keys are the same file on Windows.
std::string FoldedPathKey(const WinPath& path);
// The kernel's form of the path as the pending-rename list holds it: "\??\C:\a",
// "\??\UNC\server\share\a".
std::string NtPathOf(const WinPath& path);

// The path of the directory holding `path`; the root's parent is the root.
WinPath ParentOf(const WinPath& path);
// True when `inner` is `outer` or lies below it (names compared without regard to case).
bool IsSameOrBelow(const WinPath& inner, const WinPath& outer);

}  // namespace platform::emulated
