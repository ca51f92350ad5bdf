// Network connections as the engine asks for them (WNetUseConnection, WNetCancelConnection2): a
// connection to a server's resource, with an optional user and password, made before a run and
// removed after it; and the machine's network adapters with their hardware and IPv4 addresses
// (GetAdaptersInfo). The emulated machine has no network: it records the connections it was asked
// for, so that a test or the machine tool can see them, and lists the adapters its machine.ini
// describes, never the host's.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// One network adapter as GetAdaptersInfo describes it.
struct AdapterInfo {
  std::string name;
  std::string description;
  std::array<uint8_t, 6> address{};  // the hardware (MAC) address
  std::string ipAddress;             // dotted IPv4, "0.0.0.0" when it has none
  std::string subnetMask;
  std::string gateway;
  bool bDhcp = false;
};

struct NetConnection {
  std::string remoteName;  // "\\server" or "\\server\share"
  std::string userName;    // empty: the current user's credentials
  bool bWithPassword = false;
};

class Network {
 public:
  virtual ~Network() = default;
  // Connects without a local device name; userName and password may be empty.
  virtual uint32_t UseConnection(const std::string& remoteName, const std::string& userName,
                                 const std::string& password) = 0;
  // ERROR_NOT_CONNECTED (2250) when there is no such connection.
  virtual uint32_t CancelConnection(const std::string& remoteName, bool bForce) = 0;
  virtual std::vector<NetConnection> Connections() = 0;
  // The adapters in the machine's order; ERROR_NO_DATA when the machine has none.
  virtual uint32_t GetAdaptersInfo(std::vector<AdapterInfo>& adapters) = 0;
};

inline constexpr uint32_t ERROR_NOT_CONNECTED = 2250;

}  // namespace platform
