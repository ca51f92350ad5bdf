// Access lists of objects of the real Windows: files and folders, shares, registry keys and
// printers, changed one explicit entry at a time and read back as their explicit entries.
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
