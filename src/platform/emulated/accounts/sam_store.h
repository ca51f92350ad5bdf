// The keys and value helpers of the account store's registry layout (emulated_accounts.h names
// the layout). Everything the emulated accounts and access lists keep lies below HKLM\SAM\Accounts
// as plain strings, numbers and string lists, so that `winmachine reg` and `diff` show it as text.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace platform::emulated {

inline const std::string kSamAccountsKey = "SAM\\Accounts";
inline const std::string kUsersKey = kSamAccountsKey + "\\Users";
inline const std::string kLocalGroupsKey = kSamAccountsKey + "\\LocalGroups";
inline const std::string kGlobalGroupsKey = kSamAccountsKey + "\\GlobalGroups";
inline const std::string kSharesKey = kSamAccountsKey + "\\Shares";
inline const std::string kRightsKey = kSamAccountsKey + "\\Rights";
inline const std::string kDomainKey = kSamAccountsKey + "\\Domain";
inline const std::string kAccessListsKey = kSamAccountsKey + "\\AccessLists";
inline const std::string kShareAccessListsKey = kAccessListsKey + "\\Shares";
inline const std::string kFileAccessListsKey = kAccessListsKey + "\\Files";
inline const std::string kKeyAccessListsKey = kAccessListsKey + "\\RegistryKeys";
inline const std::string kPrinterAccessListsKey = kAccessListsKey + "\\Printers";

// Values of keys below HKEY_LOCAL_MACHINE.
uint32_t SetString(Registry& registry, const std::string& key, const std::string& name,
                   const std::string& text);
uint32_t SetDword(Registry& registry, const std::string& key, const std::string& name, uint32_t dw);
// A REG_MULTI_SZ of the strings; an empty list deletes the value.
uint32_t SetStrings(Registry& registry, const std::string& key, const std::string& name,
                    const std::vector<std::string>& strings);
// Empty when the value is missing.
std::string ReadString(Registry& registry, const std::string& key, const std::string& name);
// dwDefault when the value is missing or not a number.
uint32_t ReadDword(Registry& registry, const std::string& key, const std::string& name,
                   uint32_t dwDefault);
bool HasValue(Registry& registry, const std::string& key, const std::string& name);
std::vector<std::string> ReadStrings(Registry& registry, const std::string& key,
                                     const std::string& name);

// The subkey names, or the value names, of a key sorted without regard to case; a missing key
// has none.
uint32_t EnumSubkeys(Registry& registry, const std::string& key, std::vector<std::string>& names);
uint32_t EnumValueNames(Registry& registry, const std::string& key,
                        std::vector<std::string>& names);
bool KeyExists(Registry& registry, const std::string& key);

}  // namespace platform::emulated
