// Root mapping and 32-bit redirection of the emulated registry. HKEY_CURRENT_USER is
// HKEY_USERS\<SID>, HKEY_CLASSES_ROOT is HKLM\SOFTWARE\Classes and HKEY_CURRENT_CONFIG is
// HKLM\SYSTEM\CurrentControlSet\Hardware Profiles\Current (a plain key here, not a link). The
// 32-bit view moves everything below HKLM\SOFTWARE under HKLM\SOFTWARE\WOW6432Node, except a
// short list of keys that 64-bit Windows shares between views. Classes is shared as Windows 7 and
// later share it: only the COM and media keys below it are redirected, so a file association
// written by a 32-bit program is seen by 64-bit ones. HKLM\SOFTWARE\Classes\Wow6432Node is the
// same key as HKLM\SOFTWARE\WOW6432Node\Classes, as on Windows.
#include "platform/emulated/registry/registry_path.h"

#include <array>
#include <utility>

#include "platform/ansi_case.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

// Keys below HKLM\SOFTWARE that both views see alike (folded). Windows shares more than these and
// redirects parts of Classes separately; this list holds the ones setups commonly write.
constexpr std::array<std::string_view, 7> kSharedSoftwareKeys = {
    "CLIENTS",
    "POLICIES",
    "REGISTEREDAPPLICATIONS",
    "MICROSOFT\\WINDOWS NT\\CURRENTVERSION\\FONTS",
    "MICROSOFT\\WINDOWS NT\\CURRENTVERSION\\FONTSUBSTITUTES",
    "MICROSOFT\\WINDOWS NT\\CURRENTVERSION\\PROFILELIST",
    "MICROSOFT\\WINDOWS NT\\CURRENTVERSION\\TIME ZONES",
};

std::vector<std::string> RootNames(RegRoot root, const std::string& userSid) {
  const std::string hklm(kMachineHive);
  switch (root) {
    case RegRoot::LocalMachine:
      return {hklm};
    case RegRoot::Users:
      return {std::string(kUsersHive)};
    case RegRoot::CurrentUser:
      return {std::string(kUsersHive), userSid};
    case RegRoot::ClassesRoot:
      return {hklm, "SOFTWARE", "Classes"};
    case RegRoot::CurrentConfig:
      return {hklm, "SYSTEM", "CurrentControlSet", "Hardware Profiles", "Current"};
  }
  return {};
}

// True when names[from..] starts with the backslash-separated folded names of prefix.
bool StartsWithNames(const std::vector<std::string>& names, size_t from, std::string_view prefix) {
  size_t i = from;
  while (!prefix.empty()) {
    const size_t cut = prefix.find('\\');
    const std::string_view head = prefix.substr(0, cut);
    if (i >= names.size() || FoldRegName(names[i]) != head) return false;
    ++i;
    prefix = cut == std::string_view::npos ? std::string_view() : prefix.substr(cut + 1);
  }
  return true;
}

// Keys below HKLM\SOFTWARE\Classes that the 32-bit view redirects (folded).
constexpr std::array<std::string_view, 5> kRedirectedClassesKeys = {
    "CLSID", "DIRECTSHOW", "INTERFACE", "MEDIA TYPE", "MEDIAFOUNDATION",
};

bool IsMachineSoftware(const std::vector<std::string>& names) {
  return names.size() >= 2 && names[0] == kMachineHive && FoldRegName(names[1]) == "SOFTWARE";
}

bool IsRedirected(const std::vector<std::string>& names) {
  if (!IsMachineSoftware(names)) return false;
  if (names.size() == 2) return true;  // HKLM\SOFTWARE itself opens as WOW6432Node
  const std::string third = FoldRegName(names[2]);
  if (third == FoldRegName(kRedirectedKey)) return false;
  if (third == "CLASSES") {
    if (names.size() == 3) return false;
    const std::string fourth = FoldRegName(names[3]);
    for (std::string_view redirected : kRedirectedClassesKeys)
      if (fourth == redirected) return true;
    return false;
  }
  for (std::string_view shared : kSharedSoftwareKeys)
    if (StartsWithNames(names, 2, shared)) return false;
  return true;
}

uint32_t SplitNames(std::string_view keyPath, bool bCreating, std::vector<std::string>& names) {
  while (!keyPath.empty() && keyPath.back() == '\\') keyPath.remove_suffix(1);
  uint32_t dwResult = ERROR_SUCCESS;
  while (!keyPath.empty()) {
    const size_t cut = keyPath.find('\\');
    const std::string_view name = keyPath.substr(0, cut);
    if (name.empty()) return ERROR_INVALID_PARAMETER;
    if (name.size() > kMaxKeyNameLen)
      dwResult = bCreating ? ERROR_INVALID_PARAMETER : ERROR_FILE_NOT_FOUND;
    names.emplace_back(name);
    keyPath = cut == std::string_view::npos ? std::string_view() : keyPath.substr(cut + 1);
  }
  return dwResult;
}

}  // namespace

std::string FoldRegName(std::string_view name) {
  return AnsiUpper(name);
}

std::string_view CutAtNul(std::string_view text) {
  return text.substr(0, text.find('\0'));
}

uint32_t ResolveKeyPath(RegRoot root, std::string_view keyPath, RegView view,
                        const std::string& userSid, bool bCreating, KeyPath& path) {
  keyPath = CutAtNul(keyPath);
  if (!keyPath.empty() && keyPath.front() == '\\') {
    if (root != RegRoot::ClassesRoot) return ERROR_BAD_PATHNAME;
    keyPath.remove_prefix(1);
  }
  path.names = RootNames(root, userSid);
  path.nRootNames = path.names.size();
  if (uint32_t dwError = SplitNames(keyPath, bCreating, path.names)) return dwError;
  // Classes\Wow6432Node leads to WOW6432Node\Classes.
  if (IsMachineSoftware(path.names) && path.names.size() >= 4 &&
      FoldRegName(path.names[2]) == "CLASSES" &&
      FoldRegName(path.names[3]) == FoldRegName(kRedirectedKey))
    std::swap(path.names[2], path.names[3]);
  if (view == RegView::View32 && IsRedirected(path.names)) {
    path.names.insert(path.names.begin() + 2, std::string(kRedirectedKey));
    if (path.nRootNames > 2) ++path.nRootNames;
  }
  if (path.names.size() > kMaxKeyDepth)
    return bCreating ? ERROR_INVALID_PARAMETER : ERROR_FILE_NOT_FOUND;
  return ERROR_SUCCESS;
}

std::vector<std::vector<std::string>> StructuralKeys(const std::string& userSid) {
  const std::string hklm(kMachineHive);
  const std::string wow(kRedirectedKey);
  auto keys = std::vector<std::vector<std::string>>{
      {hklm, "SOFTWARE", wow, "Classes"},
      {std::string(kUsersHive), ".DEFAULT"},
  };
  for (RegRoot root : {RegRoot::ClassesRoot, RegRoot::CurrentConfig, RegRoot::CurrentUser})
    keys.push_back(RootNames(root, userSid));
  return keys;
}

}  // namespace platform::emulated
