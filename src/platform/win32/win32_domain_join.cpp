// Joining this computer to a domain and leaving it, with the caller's options passed unchanged.
// The functions are found at run time (see win32_net_api.h): Wine has neither. An empty text is
// passed as none, which is how the functions take "this computer", "the default container" and
// "the caller's own credentials".
#include "platform/win32/win32_accounts.h"
#include "platform/win32/win32_net_api.h"

#include "platform/win32/windows_api.h"
// clang-format off
#include <lm.h>
// clang-format on

namespace platform::win32 {

uint32_t Win32Accounts::JoinDomain(const std::string& server, const std::string& domain,
                                   const std::string& accountOU, const std::string& account,
                                   const std::string& password, uint32_t dwOptions) {
  std::wstring texts[] = {NetText(server), NetText(domain), NetText(accountOU), NetText(account),
                          NetText(password)};
  return CALL_NETAPI(NetJoinDomain, NullIfEmpty(texts[0]), texts[1].c_str(), NullIfEmpty(texts[2]),
                     NullIfEmpty(texts[3]), NullIfEmpty(texts[4]), dwOptions);
}

uint32_t Win32Accounts::UnjoinDomain(const std::string& server, const std::string& account,
                                     const std::string& password, uint32_t dwOptions) {
  std::wstring texts[] = {NetText(server), NetText(account), NetText(password)};
  return CALL_NETAPI(NetUnjoinDomain, NullIfEmpty(texts[0]), NullIfEmpty(texts[1]),
                     NullIfEmpty(texts[2]), dwOptions);
}

}  // namespace platform::win32
