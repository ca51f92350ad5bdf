// The emulated machine's service control manager (not yet built: every call answers
// ERROR_CALL_NOT_IMPLEMENTED).
#pragma once
#include "platform/services.h"

namespace platform::emulated {

class EmulatedServices final : public ServiceManager {
 public:
  uint32_t OpenManager() override;
  uint32_t EnumServices(std::vector<std::string>& names) override;
  uint32_t QueryConfig(const std::string& name, ServiceConfig& config) override;
  uint32_t CreateService(const std::string& name, const ServiceConfig& config,
                         const std::string& password) override;
  uint32_t ChangeConfig(const std::string& name, const ServiceConfig& config,
                        const std::string& password) override;
  uint32_t StartService(const std::string& name,
                        const std::vector<std::string>& arguments) override;
  uint32_t ControlStop(const std::string& name, ServiceStatus& status) override;
  uint32_t QueryStatus(const std::string& name, ServiceStatus& status) override;
  uint32_t DeleteService(const std::string& name) override;
  uint32_t GetKeyName(const std::string& displayName, std::string& name) override;
};

}  // namespace platform::emulated
