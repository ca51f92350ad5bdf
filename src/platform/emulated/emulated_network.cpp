#include "platform/emulated/emulated_network.h"

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

}  // namespace platform::emulated
