#include "platform/win32/win32_services.h"

#include "platform/win_error.h"

namespace platform::win32 {

uint32_t Win32Services::OpenManager() {
  return ERROR_CALL_NOT_IMPLEMENTED;
}
uint32_t Win32Services::EnumServices(std::vector<std::string>& /*names*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}
uint32_t Win32Services::QueryConfig(const std::string& /*name*/, ServiceConfig& /*config*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}
uint32_t Win32Services::CreateService(const std::string& /*name*/,
                                         const ServiceConfig& /*config*/,
                                         const std::string& /*password*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}
uint32_t Win32Services::ChangeConfig(const std::string& /*name*/,
                                        const ServiceConfig& /*config*/,
                                        const std::string& /*password*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}
uint32_t Win32Services::StartService(const std::string& /*name*/,
                                        const std::vector<std::string>& /*arguments*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}
uint32_t Win32Services::ControlStop(const std::string& /*name*/, ServiceStatus& /*status*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}
uint32_t Win32Services::QueryStatus(const std::string& /*name*/, ServiceStatus& /*status*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}
uint32_t Win32Services::DeleteService(const std::string& /*name*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}
uint32_t Win32Services::GetKeyName(const std::string& /*displayName*/, std::string& /*name*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}

}  // namespace platform::win32
