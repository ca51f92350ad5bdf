// Disk shares through the network management functions (found at run time, see
// win32_net_api.h), written and read at level 2, the level that holds a share's folder. Reading
// them lists the disk shares only: printers, devices and the system's hidden shares of other kinds
// are no setup's business.
#include <algorithm>

#include "platform/ansi_case.h"
#include "platform/win32/win32_accounts.h"
#include "platform/win32/win32_net_api.h"
#include "platform/win32/win32_wide_text.h"

#include "platform/win32/windows_api.h"
// clang-format off
#include <lm.h>
// clang-format on

namespace platform::win32 {
namespace {

// A share's kind is its type's low byte; the high bits say special (hidden) or temporary.
constexpr DWORD kShareKindMask = 0xFF;

void AppendDiskShares(const SHARE_INFO_2* records, DWORD nRead, std::vector<ShareInfo>& shares) {
  for (DWORD i = 0; i < nRead; ++i) {
    const SHARE_INFO_2& one = records[i];
    if ((one.shi2_type & kShareKindMask) != STYPE_DISKTREE) continue;
    shares.push_back({AnsiFromWide(one.shi2_netname), AnsiFromWide(one.shi2_path),
                      AnsiFromWide(one.shi2_remark), one.shi2_max_uses});
  }
}

}  // namespace

uint32_t Win32Accounts::AddShare(const std::string& server, const ShareInfo& share) {
  std::wstring wideServer = NetText(server);
  std::wstring name = NetText(share.name);
  std::wstring path = NetText(share.path);
  std::wstring remark = NetText(share.remark);
  SHARE_INFO_2 info{};
  info.shi2_netname = name.data();
  info.shi2_type = STYPE_DISKTREE;
  info.shi2_remark = remark.data();
  info.shi2_max_uses = share.dwMaxUses;
  info.shi2_path = path.data();
  DWORD dwParamError = 0;
  return CALL_NETAPI(NetShareAdd, NullIfEmpty(wideServer), 2, reinterpret_cast<BYTE*>(&info),
                     &dwParamError);
}

uint32_t Win32Accounts::DeleteShare(const std::string& server, const std::string& name) {
  std::wstring wideServer = NetText(server);
  std::wstring wideName = NetText(name);
  return CALL_NETAPI(NetShareDel, NullIfEmpty(wideServer), wideName.data(), 0);
}

uint32_t Win32Accounts::EnumShares(const std::string& server, std::vector<ShareInfo>& shares) {
  shares.clear();
  std::wstring wideServer = NetText(server);
  DWORD dwResume = 0;
  uint32_t err;
  do {
    BYTE* buffer = nullptr;
    DWORD nRead = 0;
    DWORD nTotal = 0;
    err = CALL_NETAPI(NetShareEnum, NullIfEmpty(wideServer), 2, &buffer, MAX_PREFERRED_LENGTH,
                      &nRead, &nTotal, &dwResume);
    if (err == NERR_Success || err == ERROR_MORE_DATA)
      AppendDiskShares(reinterpret_cast<const SHARE_INFO_2*>(buffer), nRead, shares);
    FreeNetBuffer(buffer);
  } while (err == ERROR_MORE_DATA);
  std::sort(shares.begin(), shares.end(), [](const ShareInfo& a, const ShareInfo& b) {
    return AnsiCompareNoCase(a.name, b.name) < 0;
  });
  return err;
}

}  // namespace platform::win32
