// The sanitising follows the stored-name rule word for word; DestinationNameOf adds the checks
// that the rule leaves open, so that no name can address a place outside the destination.
#include "archive/zip_names.h"

#include <algorithm>

#include "platform/code_page.h"

namespace tarvium {
namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

// Windows-1252 letters fold to upper case: ASCII, the Latin-1 block, and S/Z/OE/Y with accents.
unsigned char FoldCase(unsigned char c) {
  if (c >= 'a' && c <= 'z') return c - 'a' + 'A';
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
  switch (c) {
    case 0x9A:
      return 0x8A;
    case 0x9C:
      return 0x8C;
    case 0x9E:
      return 0x8E;
    case 0xFF:
      return 0x9F;
    default:
      return c;
  }
}

bool SameChar(char a, char b) {
  return FoldCase(static_cast<unsigned char>(a)) == FoldCase(static_cast<unsigned char>(b));
}

bool IsParentComponent(std::string_view name, size_t nStart, size_t nEnd) {
  return nEnd - nStart == 2 && name[nStart] == '.' && name[nStart + 1] == '.';
}

bool ClimbsOut(std::string_view name) {
  size_t nStart = 0;
  for (size_t i = 0; i <= name.size(); ++i) {
    if (i < name.size() && !IsSeparator(name[i])) continue;
    if (IsParentComponent(name, nStart, i)) return true;
    nStart = i + 1;
  }
  return false;
}

}  // namespace

std::string SanitiseStoredName(std::string_view name) {
  if (name.size() >= 2 && name[1] == ':' &&
      ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z')))
    name.remove_prefix(2);
  while (!name.empty() && IsSeparator(name.front())) name.remove_prefix(1);
  size_t nCut = 0;
  for (const char* pszClimb : {"\\..\\", "\\../", "/../", "/..\\"}) {
    const size_t nAt = name.rfind(pszClimb);
    if (nAt != std::string_view::npos) nCut = std::max(nCut, nAt + 4);
  }
  return std::string(name.substr(nCut));
}

bool DestinationNameOf(std::string_view storedName, bool bUtf8, std::string& name) {
  const std::string sanitised = SanitiseStoredName(storedName);
  name = bUtf8 ? platform::Utf8ToAnsi(sanitised) : platform::OemToAnsi(sanitised);
  std::replace(name.begin(), name.end(), '/', '\\');
  return !name.empty() && name.find(':') == std::string::npos && !ClimbsOut(name);
}

std::string StoredNameOf(std::string_view diskName) {
  std::string name = platform::AnsiToOem(diskName);
  std::replace(name.begin(), name.end(), '\\', '/');
  return name;
}

bool MatchesFilter(std::string_view name, std::string_view filter) {
  if (filter.empty()) return true;
  // Greedy matching with one back-track point: the last '*' seen.
  size_t n = 0, f = 0, nStarFilter = std::string_view::npos, nStarName = 0;
  while (n < name.size()) {
    if (f < filter.size() && (filter[f] == '?' || SameChar(filter[f], name[n]))) {
      ++n, ++f;
    } else if (f < filter.size() && filter[f] == '*') {
      nStarFilter = f++;
      nStarName = n;
    } else if (nStarFilter != std::string_view::npos) {
      f = nStarFilter + 1;
      n = ++nStarName;
    } else {
      return false;
    }
  }
  while (f < filter.size() && filter[f] == '*') ++f;
  return f == filter.size();
}

}  // namespace tarvium
