// The real Windows service control manager: each call opens the manager and the service it
// names with the access it needs, does one thing, and closes both again.
#pragma once
#include "platform/services.h"

namespace platform::win32 {

class Win32Services final : public ServiceManager {
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

}  // namespace platform::win32
