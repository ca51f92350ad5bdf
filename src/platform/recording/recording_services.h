// The service manager of a recorded run: the wrapped machine's services are listed and queried as
// they are; creating, changing, starting, stopping and deleting one is logged and answered with
// success without reaching the service control manager.
#pragma once
#include "platform/recording/machine_change.h"
#include "platform/services.h"

namespace platform {

class RecordingServices final : public ServiceManager {
 public:
  RecordingServices(ServiceManager& wrapped, ChangeLog& changes)
      : m_wrapped(wrapped), m_changes(changes) {}

  uint32_t OpenManager() override { return m_wrapped.OpenManager(); }
  uint32_t EnumServices(std::vector<std::string>& names) override {
    return m_wrapped.EnumServices(names);
  }
  uint32_t QueryConfig(const std::string& name, ServiceConfig& config) override {
    return m_wrapped.QueryConfig(name, config);
  }
  uint32_t CreateService(const std::string& name, const ServiceConfig& config,
                         const std::string& password) override;
  uint32_t ChangeConfig(const std::string& name, const ServiceConfig& config,
                        const std::string& password) override;
  uint32_t StartService(const std::string& name,
                        const std::vector<std::string>& arguments) override;
  uint32_t ControlStop(const std::string& name, ServiceStatus& status) override;
  uint32_t QueryStatus(const std::string& name, ServiceStatus& status) override {
    return m_wrapped.QueryStatus(name, status);
  }
  uint32_t DeleteService(const std::string& name) override;
  uint32_t GetKeyName(const std::string& displayName, std::string& name) override {
    return m_wrapped.GetKeyName(displayName, name);
  }

 private:
  ServiceManager& m_wrapped;
  ChangeLog& m_changes;
};

}  // namespace platform
