#include "platform/win32/win32_network.h"

#include <algorithm>

#include "platform/ansi_case.h"

#include "platform/win32/windows_api.h"
// clang-format off
#include <winnetwk.h>
#include <iphlpapi.h>
// clang-format on

namespace platform::win32 {
namespace {

// An empty user or password is the current user's credentials: null for the function, as an
// empty string would mean "no password".
const char* NullWhenEmpty(const std::string& text) {
  return text.empty() ? nullptr : text.c_str();
}

AdapterInfo AdapterOf(const IP_ADAPTER_INFO& raw) {
  AdapterInfo adapter;
  adapter.name = raw.AdapterName;
  adapter.description = raw.Description;
  std::copy_n(raw.Address, std::min<size_t>(raw.AddressLength, adapter.address.size()),
              adapter.address.begin());
  adapter.ipAddress = raw.IpAddressList.IpAddress.String;
  adapter.subnetMask = raw.IpAddressList.IpMask.String;
  adapter.gateway = raw.GatewayList.IpAddress.String;
  adapter.bDhcp = raw.DhcpEnabled != 0;
  return adapter;
}

}  // namespace

uint32_t Win32Network::UseConnection(const std::string& remoteName, const std::string& userName,
                                     const std::string& password) {
  std::string remote = remoteName;
  NETRESOURCEA resource = {};
  resource.dwType = RESOURCETYPE_ANY;
  resource.lpRemoteName = remote.data();
  const DWORD err = WNetUseConnectionA(nullptr, &resource, NullWhenEmpty(password),
                                       NullWhenEmpty(userName), 0, nullptr, nullptr, nullptr);
  if (err != NO_ERROR) return err;
  connections_.push_back({remoteName, userName, !password.empty()});
  return ERROR_SUCCESS;
}

uint32_t Win32Network::CancelConnection(const std::string& remoteName, bool bForce) {
  const DWORD err = WNetCancelConnection2A(remoteName.c_str(), 0, bForce);
  if (err != NO_ERROR) return err;
  std::erase_if(connections_, [&](const NetConnection& connection) {
    return AnsiEqualNoCase(connection.remoteName, remoteName);
  });
  return ERROR_SUCCESS;
}

std::vector<NetConnection> Win32Network::Connections() {
  return connections_;
}

uint32_t Win32Network::GetAdaptersInfo(std::vector<AdapterInfo>& adapters) {
  adapters.clear();
  ULONG cbBuffer = 16 * sizeof(IP_ADAPTER_INFO);
  std::vector<IP_ADAPTER_INFO> buffer;
  DWORD err;
  do {
    buffer.resize(cbBuffer / sizeof(IP_ADAPTER_INFO) + 1);
    cbBuffer = static_cast<ULONG>(buffer.size() * sizeof(IP_ADAPTER_INFO));
    err = ::GetAdaptersInfo(buffer.data(), &cbBuffer);
  } while (err == ERROR_BUFFER_OVERFLOW);
  if (err != ERROR_SUCCESS) return err;
  for (const IP_ADAPTER_INFO* raw = buffer.data(); raw; raw = raw->Next)
    adapters.push_back(AdapterOf(*raw));
  return adapters.empty() ? ERROR_NO_DATA : ERROR_SUCCESS;
}

}  // namespace platform::win32
