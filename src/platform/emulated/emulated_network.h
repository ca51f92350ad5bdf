// Network connections of the emulated machine: recorded for the life of the machine object,
// since the machine has no network to connect to.
#pragma once
#include "platform/network.h"

namespace platform::emulated {

class EmulatedNetwork final : public Network {
 public:
  uint32_t UseConnection(const std::string& remoteName, const std::string& userName,
                         const std::string& password) override;
  uint32_t CancelConnection(const std::string& remoteName, bool bForce) override;
  std::vector<NetConnection> Connections() override { return connections_; }

 private:
  std::vector<NetConnection> connections_;
};

}  // namespace platform::emulated
