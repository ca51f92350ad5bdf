// Access lists of objects of the real Windows (not yet built: every call answers
// ERROR_CALL_NOT_IMPLEMENTED).
#pragma once
#include "platform/access_control.h"

namespace platform::win32 {

class Win32AccessLists final : public AccessControl {
 public:
  uint32_t ChangeAccess(SecuredObject kind, const std::string& objectName,
                        const AccessEntry& entry) override;
  uint32_t GetAccess(SecuredObject kind, const std::string& objectName,
                     std::vector<AccessEntry>& entries) override;
};

}  // namespace platform::win32
