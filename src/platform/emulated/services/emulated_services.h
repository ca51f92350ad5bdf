// The emulated machine's service control manager. The configuration lives in the registry where
// Windows keeps it (service_registry.h); the run-time state in the machine's services/ folder,
// shared by every engine process on the machine (service_run_state.h). A Win32 service runs as a
// detached machine process that outlives the engine that started it; the stop control is a
// SIGTERM its program may honour late or ignore, and the service reads stop-pending until the
// process has ended. A driver has no process: starting one marks it running.
#pragma once
#include <string>
#include <vector>

#include "platform/emulated/processes/host_processes.h"
#include "platform/emulated/services/service_run_state.h"
#include "platform/environment.h"
#include "platform/registry.h"
#include "platform/services.h"

namespace platform::emulated {

struct ServicesContext {
  Registry& registry;
  Environment& environment;  // expands ImagePath, is the services' environment
  HostProcesses& processes;
  std::string stateDirectory;   // host folder of the run-time state
  std::string systemDirectory;  // Windows path, a service's current directory
};

// How long a start watches the new process: one that has ended by then never ran as a service,
// and the start fails with ERROR_SERVICE_REQUEST_TIMEOUT as on Windows.
inline constexpr uint32_t kServiceStartCheckMs = 150;
// How long a stop waits for a program that honours the request at once.
inline constexpr uint32_t kServiceStopCheckMs = 100;

struct ServiceRestartStep {
  std::string what;  // "end service NAME", "delete service NAME", "start service NAME"
  uint32_t dwResult = 0;
};

class EmulatedServices final : public ServiceManager {
 public:
  explicit EmulatedServices(ServicesContext context)
      : ctx_(std::move(context)), states_(ctx_.stateDirectory) {}

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

  // The two halves of a restart (machine_reboot.cpp). Shutting down ends every service's process
  // with its process group and removes the services marked for deletion; starting up starts the
  // services of start type boot, system and automatic, in that order (drivers are marked running).
  void ShutDown(std::vector<ServiceRestartStep>& steps);
  void StartUp(std::vector<ServiceRestartStep>& steps);

 private:
  uint32_t Start(const std::string& name, const std::vector<std::string>& arguments,
                 std::vector<std::string>& chain);
  uint32_t StartDependency(const std::string& dependency, std::vector<std::string>& chain);
  uint32_t StartGroup(const std::string& group, std::vector<std::string>& chain);
  uint32_t Run(const std::string& name, const ServiceConfig& config,
               const std::vector<std::string>& arguments);
  uint32_t CheckNames(const std::string& name, const ServiceConfig& config);
  bool HasActiveDependent(const std::string& name, const ServiceConfig& config);
  bool IsActive(const std::string& name);
  // Removes a service marked for deletion once it no longer runs.
  void Settle(const std::string& name);

  ServicesContext ctx_;
  ServiceRunStates states_;
};

}  // namespace platform::emulated
