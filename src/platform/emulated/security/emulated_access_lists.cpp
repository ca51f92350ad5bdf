#include "platform/emulated/security/emulated_access_lists.h"

#include "platform/win_error.h"

namespace platform::emulated {

uint32_t EmulatedAccessLists::ChangeAccess(SecuredObject /*kind*/,
                                           const std::string& /*objectName*/,
                                           const AccessEntry& /*entry*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}
uint32_t EmulatedAccessLists::GetAccess(SecuredObject /*kind*/, const std::string& /*objectName*/,
                                        std::vector<AccessEntry>& /*entries*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}

}  // namespace platform::emulated
