// SetNamedSecurityInfo and GetExplicitEntriesFromAcl over the lists the emulated machine keeps:
// the object is found first (its own not-found error when missing), the trustee resolved to its
// SID, and the merged list written back as one value.
#include "platform/emulated/security/emulated_access_lists.h"

#include <algorithm>
#include <iterator>

#include "platform/ansi_case.h"
#include "platform/emulated/accounts/sam_store.h"
#include "platform/emulated/security/access_list_text.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

struct RootName {
  const char* name;
  RegRoot root;
};

// The root names SetNamedSecurityInfo takes for SE_REGISTRY_KEY objects.
constexpr RootName kRootNames[] = {{"MACHINE", RegRoot::LocalMachine},
                                   {"CURRENT_USER", RegRoot::CurrentUser},
                                   {"USERS", RegRoot::Users},
                                   {"CLASSES_ROOT", RegRoot::ClassesRoot}};

const std::string& KindKey(SecuredObject kind) {
  switch (kind) {
    case SecuredObject::Share:
      return kShareAccessListsKey;
    case SecuredObject::RegistryKey:
      return kKeyAccessListsKey;
    case SecuredObject::Printer:
      return kPrinterAccessListsKey;
    default:
      return kFileAccessListsKey;
  }
}

std::string WithoutTrailingBackslash(const std::string& name) {
  const bool bDriveRoot = name.size() == 3 && name[1] == ':';
  return !bDriveRoot && !name.empty() && name.back() == '\\' ? name.substr(0, name.size() - 1)
                                                             : name;
}

std::vector<StoredAccessEntry> ReadEntries(Registry& registry, const std::string& key,
                                           const std::string& valueName) {
  std::vector<StoredAccessEntry> entries;
  for (const std::string& line : ReadStrings(registry, key, valueName))
    if (std::optional<StoredAccessEntry> entry = ParseAccessEntry(line)) entries.push_back(*entry);
  return entries;
}

}  // namespace

uint32_t EmulatedAccessLists::FindFile(const std::string& path, std::string& valueName) {
  uint32_t dwAttributes = 0;
  if (path.empty() || files_.GetFileAttributes(path, dwAttributes) != ERROR_SUCCESS)
    return ERROR_FILE_NOT_FOUND;
  valueName = WithoutTrailingBackslash(path);
  return ERROR_SUCCESS;
}

// "share" or "\\server\share" of this machine.
uint32_t EmulatedAccessLists::FindShare(const std::string& name, std::string& valueName) {
  const size_t slash = name.rfind('\\');
  const std::string server = slash == std::string::npos ? "" : name.substr(0, slash);
  valueName = slash == std::string::npos ? name : name.substr(slash + 1);
  std::vector<ShareInfo> shares;
  if (uint32_t err = accounts_.EnumShares(server, shares)) return err;
  for (const ShareInfo& share : shares)
    if (AnsiEqualNoCase(share.name, valueName)) return ERROR_SUCCESS;
  return NERR_NetNameNotFound;
}

uint32_t EmulatedAccessLists::FindRegistryKey(const std::string& name, std::string& valueName) {
  const size_t slash = name.find('\\');
  const std::string rootName = name.substr(0, slash);
  const std::string path = slash == std::string::npos ? "" : name.substr(slash + 1);
  for (const RootName& root : kRootNames) {
    if (!AnsiEqualNoCase(rootName, root.name)) continue;
    if (registry_.OpenKey(root.root, WithoutTrailingBackslash(path)) != ERROR_SUCCESS)
      return ERROR_FILE_NOT_FOUND;
    valueName = WithoutTrailingBackslash(name);
    return ERROR_SUCCESS;
  }
  return ERROR_INVALID_PARAMETER;
}

uint32_t EmulatedAccessLists::FindPrinter(const std::string& name, std::string& valueName) {
  PrinterInfo printer;
  if (uint32_t err = spooler_.GetPrinter("", name, printer)) return err;
  valueName = name;
  return ERROR_SUCCESS;
}

uint32_t EmulatedAccessLists::FindObject(SecuredObject kind, const std::string& objectName,
                                         std::string& valueName) {
  switch (kind) {
    case SecuredObject::File:
      return FindFile(objectName, valueName);
    case SecuredObject::Share:
      return FindShare(objectName, valueName);
    case SecuredObject::RegistryKey:
      return FindRegistryKey(objectName, valueName);
    case SecuredObject::Printer:
      return FindPrinter(objectName, valueName);
  }
  return ERROR_INVALID_PARAMETER;
}

uint32_t EmulatedAccessLists::ChangeAccess(SecuredObject kind, const std::string& objectName,
                                           const AccessEntry& entry) {
  std::string valueName;
  if (uint32_t err = FindObject(kind, objectName, valueName)) return err;
  StoredAccessEntry change{false, entry.dwRights, entry.dwInheritance, "", entry.trustee};
  if (uint32_t err = accounts_.LookupAccountName("", entry.trustee, change.sid)) return err;
  const std::string& key = KindKey(kind);
  std::vector<StoredAccessEntry> entries = ReadEntries(registry_, key, valueName);
  if (!MergeAccessEntry(entries, entry.dwMode, change)) return ERROR_INVALID_PARAMETER;
  std::vector<std::string> lines;
  for (const StoredAccessEntry& each : entries) lines.push_back(FormatAccessEntry(each));
  return registry_.WriteAsOne([&] {
    if (uint32_t err = registry_.CreateKey(RegRoot::LocalMachine, key)) return err;
    return SetStrings(registry_, key, valueName, lines);
  });
}

uint32_t EmulatedAccessLists::GetAccess(SecuredObject kind, const std::string& objectName,
                                        std::vector<AccessEntry>& entries) {
  entries.clear();
  std::string valueName;
  if (uint32_t err = FindObject(kind, objectName, valueName)) return err;
  for (const StoredAccessEntry& each : ReadEntries(registry_, KindKey(kind), valueName))
    entries.push_back(
        {each.trustee, each.bDeny ? DENY_ACCESS : GRANT_ACCESS, each.dwRights, each.dwInheritance});
  return ERROR_SUCCESS;
}

void EmulatedAccessLists::ForgetRegistryKey(RegRoot root, const std::string& keyPath) {
  const auto rootName = std::find_if(std::begin(kRootNames), std::end(kRootNames),
                                     [&](const RootName& each) { return each.root == root; });
  uint32_t nSubKeys = 0, nValues = 0;
  if (rootName == std::end(kRootNames) ||
      registry_.CountKeyContents(RegRoot::LocalMachine, kKeyAccessListsKey, nSubKeys, nValues) !=
          ERROR_SUCCESS ||
      nValues == 0)
    return;
  const std::string object = std::string(rootName->name) + "\\" + WithoutTrailingBackslash(keyPath);
  std::vector<std::string> gone;
  std::string name;
  RegValue value;
  for (uint32_t i = 0; registry_.EnumValue(RegRoot::LocalMachine, kKeyAccessListsKey, i, name,
                                           value) == ERROR_SUCCESS;
       ++i)
    if (AnsiEqualNoCase(name, object) ||
        (name.size() > object.size() && name[object.size()] == '\\' &&
         AnsiEqualNoCase(std::string_view(name).substr(0, object.size()), object)))
      gone.push_back(name);
  for (const std::string& valueName : gone)
    registry_.DeleteValue(RegRoot::LocalMachine, kKeyAccessListsKey, valueName);
}

}  // namespace platform::emulated
