// The leftovers are recognised by their paths alone: the removal's rules name fixed places, and
// the product's own keys are the few levels below Software that no part of Windows uses.
#include "platform/emulated/machine/removal_leftovers.h"

#include <algorithm>
#include <vector>

#include "platform/ansi_case.h"

namespace platform::emulated {
namespace {

constexpr std::string_view kLastErrorKey = "\\SOFTWARE\\kelvaron\\Stowfield";
constexpr std::string_view kUninstallKey = "\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr std::string_view kUninstallKeptValues[] = {"PackageGUID", "SystemComponent", "NoRemove",
                                                     "NoModify", "NoRepair"};
// First keys below Software that hold Windows' own settings, never a product's record.
constexpr std::string_view kWindowsSoftwareKeys[] = {
    "Classes", "Clients", "Microsoft", "Policies", "RegisteredApplications", "WOW6432Node"};

std::vector<std::string_view> Components(std::string_view path) {
  std::vector<std::string_view> parts;
  for (size_t nStart = 0; nStart <= path.size();) {
    const size_t nEnd = std::min(path.find('\\', nStart), path.size());
    parts.push_back(path.substr(nStart, nEnd - nStart));
    nStart = nEnd + 1;
  }
  return parts;
}

bool IsAnyOf(std::string_view name, const auto& names) {
  for (std::string_view candidate : names)
    if (AnsiEqualNoCase(name, candidate)) return true;
  return false;
}

// The key is an entry of the programs list (the 32-bit view's and a user's too).
bool IsUninstallEntry(std::string_view keyPath) {
  const size_t nLast = keyPath.rfind('\\');
  return nLast != std::string_view::npos &&
         AnsiEndsWithNoCase(keyPath.substr(0, nLast), kUninstallKey);
}

// Levels below the machine's or a user's Software key (and its 32-bit view), or 0 when the key
// does not lie there or lies below a key of Windows.
size_t LevelsBelowSoftware(std::string_view keyPath) {
  const std::vector<std::string_view> parts = Components(keyPath);
  const size_t nSoftware = AnsiEqualNoCase(parts[0], "HKEY_USERS") ? 2 : 1;
  if (parts.size() <= nSoftware || !AnsiEqualNoCase(parts[nSoftware], "SOFTWARE")) return 0;
  size_t nFirst = nSoftware + 1;
  if (parts.size() > nFirst + 1 && AnsiEqualNoCase(parts[nFirst], "WOW6432Node")) ++nFirst;
  if (parts.size() <= nFirst || IsAnyOf(parts[nFirst], kWindowsSoftwareKeys)) return 0;
  return parts.size() - nFirst;
}

}  // namespace

bool IsRemovalLeftoverFile(std::string_view path) {
  return AnsiEndsWithNoCase(path, "\\_UnInst.exe");
}

bool IsRemovalLeftoverValue(std::string_view keyPath, std::string_view valueName) {
  if (AnsiEndsWithNoCase(keyPath, kLastErrorKey)) return AnsiEqualNoCase(valueName, "LastError");
  return IsUninstallEntry(keyPath) && IsAnyOf(valueName, kUninstallKeptValues);
}

bool MayBeRemovalLeftoverKey(std::string_view keyPath) {
  if (AnsiEndsWithNoCase(keyPath, kLastErrorKey) || IsUninstallEntry(keyPath)) return true;
  const size_t nLevels = LevelsBelowSoftware(keyPath);
  return nLevels >= 1 && nLevels <= 3;
}

}  // namespace platform::emulated
