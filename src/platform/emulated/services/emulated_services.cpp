#include "platform/emulated/services/emulated_services.h"

#include "platform/win_error.h"

namespace platform::emulated {

uint32_t EmulatedServices::OpenManager() {
  return ERROR_CALL_NOT_IMPLEMENTED;
}
uint32_t EmulatedServices::EnumServices(std::vector<std::string>& /*names*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}
uint32_t EmulatedServices::QueryConfig(const std::string& /*name*/, ServiceConfig& /*config*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}
uint32_t EmulatedServices::CreateService(const std::string& /*name*/,
                                         const ServiceConfig& /*config*/,
                                         const std::string& /*password*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}
uint32_t EmulatedServices::ChangeConfig(const std::string& /*name*/,
                                        const ServiceConfig& /*config*/,
                                        const std::string& /*password*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}
uint32_t EmulatedServices::StartService(const std::string& /*name*/,
                                        const std::vector<std::string>& /*arguments*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}
uint32_t EmulatedServices::ControlStop(const std::string& /*name*/, ServiceStatus& /*status*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}
uint32_t EmulatedServices::QueryStatus(const std::string& /*name*/, ServiceStatus& /*status*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}
uint32_t EmulatedServices::DeleteService(const std::string& /*name*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}
uint32_t EmulatedServices::GetKeyName(const std::string& /*displayName*/, std::string& /*name*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}

}  // namespace platform::emulated
