// Access lists of the emulated machine's objects (not yet built: every call answers
// ERROR_CALL_NOT_IMPLEMENTED).
#pragma once
#include "platform/access_control.h"

namespace platform::emulated {

class EmulatedAccessLists final : public AccessControl {
 public:
  uint32_t ChangeAccess(SecuredObject kind, const std::string& objectName,
                        const AccessEntry& entry) override;
  uint32_t GetAccess(SecuredObject kind, const std::string& objectName,
                     std::vector<AccessEntry>& entries) override;
};

}  // namespace platform::emulated
