// Network connections through WNetUseConnection and WNetCancelConnection2, and the adapters
// through GetAdaptersInfo (iphlpapi). The connections listed are those made through this service
// and not cancelled since, with the user they were made for; Windows does not tell which user or
// password another program's connection used.
#pragma once
#include "platform/network.h"

namespace platform::win32 {

class Win32Network final : public Network {
 public:
  uint32_t UseConnection(const std::string& remoteName, const std::string& userName,
                         const std::string& password) override;
  uint32_t CancelConnection(const std::string& remoteName, bool bForce) override;
  std::vector<NetConnection> Connections() override;
  uint32_t GetAdaptersInfo(std::vector<AdapterInfo>& adapters) override;

 private:
  std::vector<NetConnection> connections_;
};

}  // namespace platform::win32
