// Connections are kept in a list; adapters are copied from the machine's config into the form
// GetAdaptersInfo gives, with "0.0.0.0" for an address machine.ini leaves empty.
#include "platform/emulated/machine/emulated_network.h"

#include "platform/ansi_case.h"
#include "platform/win_error.h"

namespace platform::emulated {

uint32_t EmulatedNetwork::UseConnection(const std::string& remoteName, const std::string& userName,
                                        const std::string& password) {
  if (remoteName.empty()) return ERROR_INVALID_PARAMETER;
  connections_.push_back({remoteName, userName, !password.empty()});
  return ERROR_SUCCESS;
}

uint32_t EmulatedNetwork::CancelConnection(const std::string& remoteName, bool) {
  for (auto it = connections_.begin(); it != connections_.end(); ++it) {
    if (AnsiEqualNoCase(it->remoteName, remoteName)) {
      connections_.erase(it);
      return ERROR_SUCCESS;
    }
  }
  return ERROR_NOT_CONNECTED;
}

uint32_t EmulatedNetwork::GetAdaptersInfo(std::vector<AdapterInfo>& adapters) {
  adapters.clear();
  for (const NetworkAdapter& adapter : adapters_) {
    AdapterInfo info;
    info.name = adapter.name;
    info.description = adapter.description;
    if (!ParseMacAddress(adapter.macAddress, info.address)) info.address = {};
    info.ipAddress = adapter.ipAddress.empty() ? "0.0.0.0" : adapter.ipAddress;
    info.subnetMask = adapter.subnetMask.empty() ? "0.0.0.0" : adapter.subnetMask;
    info.gateway = adapter.gateway.empty() ? "0.0.0.0" : adapter.gateway;
    info.bDhcp = adapter.bDhcp;
    adapters.push_back(std::move(info));
  }
  return adapters.empty() ? ERROR_NO_DATA : ERROR_SUCCESS;
}

}  // namespace platform::emulated
