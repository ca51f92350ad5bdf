// Network of the emulated machine: connections are recorded for the life of the machine object,
// since the machine has no network to connect to; the adapters are those machine.ini describes.
#pragma once
#include <vector>

#include "platform/emulated/machine/machine_config.h"
#include "platform/network.h"

namespace platform::emulated {

class EmulatedNetwork final : public Network {
 public:
  explicit EmulatedNetwork(const std::vector<NetworkAdapter>& adapters) : adapters_(adapters) {}

  uint32_t UseConnection(const std::string& remoteName, const std::string& userName,
                         const std::string& password) override;
  uint32_t CancelConnection(const std::string& remoteName, bool bForce) override;
  std::vector<NetConnection> Connections() override { return connections_; }
  uint32_t GetAdaptersInfo(std::vector<AdapterInfo>& adapters) override;

 private:
  const std::vector<NetworkAdapter>& adapters_;
  std::vector<NetConnection> connections_;
};

}  // namespace platform::emulated
