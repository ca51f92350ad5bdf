#include "platform/win32/win32_access_lists.h"

#include "platform/win_error.h"

namespace platform::win32 {

uint32_t Win32AccessLists::ChangeAccess(SecuredObject /*kind*/,
                                           const std::string& /*objectName*/,
                                           const AccessEntry& /*entry*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}
uint32_t Win32AccessLists::GetAccess(SecuredObject /*kind*/, const std::string& /*objectName*/,
                                        std::vector<AccessEntry>& /*entries*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}

}  // namespace platform::win32
