// The sanitising follows the stored-name rule word for word; DestinationNameOf adds the checks
// that the rule leaves open, so that no name can address a place outside the destination.
#include "archive/zip_names.h"

#include <algorithm>

#include "platform/ansi_case.h"
#include "platform/code_page.h"

namespace tarvium {
namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
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
  return filter.empty() || platform::AnsiMatchesPattern(filter, name, true);
}

}  // namespace tarvium
