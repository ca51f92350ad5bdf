// Disk shares of the emulated machine (NetShareAdd, NetShareDel, NetShareEnum at level 2): a
// record per share naming an existing folder of the machine. Deleting a share drops its access
// list with it, as the share's security goes with the share on Windows.
#include "platform/emulated/accounts/emulated_accounts.h"
#include "platform/emulated/accounts/sam_store.h"
#include "platform/spooler.h"  // ERROR_INVALID_SHARENAME
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

constexpr size_t kMaxShareName = 80;

bool IsShareNameValid(const std::string& name) {
  return !name.empty() && name.size() <= kMaxShareName &&
         name.find_first_of("\\/:*?\"<>|") == std::string::npos;
}

}  // namespace

uint32_t EmulatedAccounts::AddShare(const std::string& server, const ShareInfo& share) {
  if (!IsThisMachine(server)) return ERROR_BAD_NETPATH;
  if (!IsShareNameValid(share.name)) return ERROR_INVALID_SHARENAME;
  uint32_t dwAttributes = 0;
  if (!files_ || share.path.empty() ||
      files_->GetFileAttributes(share.path, dwAttributes) != ERROR_SUCCESS ||
      !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return NERR_UnknownDevDir;
  const std::string key = kSharesKey + "\\" + share.name;
  return registry_.WriteAsOne([&] {
    bool bCreated = false;
    if (uint32_t err =
            registry_.CreateKey(RegRoot::LocalMachine, key, false, RegView::Default, &bCreated))
      return err;
    if (!bCreated) return NERR_DuplicateShare;
    for (uint32_t err : {SetString(registry_, key, "Path", share.path),
                         SetString(registry_, key, "Remark", share.remark),
                         SetDword(registry_, key, "MaxUses", share.dwMaxUses)})
      if (err != ERROR_SUCCESS) return err;
    return ERROR_SUCCESS;
  });
}

uint32_t EmulatedAccounts::DeleteShare(const std::string& server, const std::string& name) {
  if (!IsThisMachine(server)) return ERROR_BAD_NETPATH;
  const std::string key = kSharesKey + "\\" + name;
  if (name.empty() || !KeyExists(registry_, key)) return NERR_NetNameNotFound;
  return registry_.WriteAsOne([&] {
    if (uint32_t err = SetStrings(registry_, kShareAccessListsKey, name, {})) return err;
    return registry_.DeleteTree(RegRoot::LocalMachine, key);
  });
}

uint32_t EmulatedAccounts::EnumShares(const std::string& server, std::vector<ShareInfo>& shares) {
  shares.clear();
  if (!IsThisMachine(server)) return ERROR_BAD_NETPATH;
  std::vector<std::string> names;
  if (uint32_t err = EnumSubkeys(registry_, kSharesKey, names)) return err;
  for (const std::string& name : names) {
    const std::string key = kSharesKey + "\\" + name;
    shares.push_back({name, ReadString(registry_, key, "Path"),
                      ReadString(registry_, key, "Remark"),
                      ReadDword(registry_, key, "MaxUses", 0xFFFFFFFF)});
  }
  return ERROR_SUCCESS;
}

}  // namespace platform::emulated
