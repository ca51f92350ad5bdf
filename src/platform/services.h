// The machine's service control manager as the setup asks it (OpenService, CreateService,
// ChangeServiceConfig, StartService, ControlService with the stop control, QueryServiceStatus,
// DeleteService). Services are named by their key names and compared without regard to case;
// each call opens what it needs and closes it again, so no handle shows here. Every call returns
// ERROR_SUCCESS or the Windows error the service functions give, because the setup counts some of
// them (1056 already running, 1073 exists) as success and shows the others with the system's text.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Service types, start types and error controls (the values Windows stores under the service).
inline constexpr uint32_t SERVICE_KERNEL_DRIVER = 0x1;
inline constexpr uint32_t SERVICE_FILE_SYSTEM_DRIVER = 0x2;
inline constexpr uint32_t SERVICE_WIN32_OWN_PROCESS = 0x10;
inline constexpr uint32_t SERVICE_WIN32_SHARE_PROCESS = 0x20;
inline constexpr uint32_t SERVICE_INTERACTIVE_PROCESS = 0x100;
inline constexpr uint32_t SERVICE_BOOT_START = 0;
inline constexpr uint32_t SERVICE_SYSTEM_START = 1;
inline constexpr uint32_t SERVICE_AUTO_START = 2;
inline constexpr uint32_t SERVICE_DEMAND_START = 3;
inline constexpr uint32_t SERVICE_DISABLED = 4;
inline constexpr uint32_t SERVICE_ERROR_IGNORE = 0;
inline constexpr uint32_t SERVICE_ERROR_NORMAL = 1;
inline constexpr uint32_t SERVICE_ERROR_SEVERE = 2;
inline constexpr uint32_t SERVICE_ERROR_CRITICAL = 3;

// Current states (SERVICE_STATUS.dwCurrentState) and the stop control's acceptance bit.
inline constexpr uint32_t SERVICE_STOPPED = 1;
inline constexpr uint32_t SERVICE_START_PENDING = 2;
inline constexpr uint32_t SERVICE_STOP_PENDING = 3;
inline constexpr uint32_t SERVICE_RUNNING = 4;
inline constexpr uint32_t SERVICE_ACCEPT_STOP = 0x1;

inline constexpr uint32_t ERROR_DEPENDENT_SERVICES_RUNNING = 1051;
inline constexpr uint32_t ERROR_INVALID_SERVICE_CONTROL = 1052;
inline constexpr uint32_t ERROR_SERVICE_REQUEST_TIMEOUT = 1053;
inline constexpr uint32_t ERROR_SERVICE_ALREADY_RUNNING = 1056;
inline constexpr uint32_t ERROR_INVALID_SERVICE_ACCOUNT = 1057;
inline constexpr uint32_t ERROR_SERVICE_DISABLED = 1058;
inline constexpr uint32_t ERROR_CIRCULAR_DEPENDENCY = 1059;
inline constexpr uint32_t ERROR_SERVICE_CANNOT_ACCEPT_CTRL = 1061;
inline constexpr uint32_t ERROR_SERVICE_NOT_ACTIVE = 1062;
inline constexpr uint32_t ERROR_SERVICE_DEPENDENCY_FAIL = 1068;
inline constexpr uint32_t ERROR_SERVICE_LOGON_FAILED = 1069;
inline constexpr uint32_t ERROR_SERVICE_MARKED_FOR_DELETE = 1072;
inline constexpr uint32_t ERROR_SERVICE_DEPENDENCY_DELETED = 1075;
inline constexpr uint32_t ERROR_DUPLICATE_SERVICE_NAME = 1078;

// A service's configuration (QUERY_SERVICE_CONFIG). An empty account means LocalSystem.
struct ServiceConfig {
  uint32_t dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  uint32_t dwStartType = SERVICE_DEMAND_START;
  uint32_t dwErrorControl = SERVICE_ERROR_NORMAL;
  std::string binaryPathName;  // the command line, the program quoted when it holds blanks
  std::string loadOrderGroup;
  std::vector<std::string> dependencies;  // service names; a group is named with a '+' first
  std::string serviceStartName;           // ".\name", "DOMAIN\name" or "LocalSystem"
  std::string displayName;
};

// SERVICE_STATUS, as far as the setup reads it.
struct ServiceStatus {
  uint32_t dwServiceType = 0;
  uint32_t dwCurrentState = SERVICE_STOPPED;
  uint32_t dwControlsAccepted = 0;
  uint32_t dwWin32ExitCode = 0;
  uint32_t dwProcessId = 0;  // of a running service's process, 0 for a driver
};

class ServiceManager {
 public:
  virtual ~ServiceManager() = default;

  // OpenSCManager with full access: ERROR_ACCESS_DENIED when the caller may not change services.
  virtual uint32_t OpenManager() = 0;
  // The key names of every service and driver (EnumServicesStatus), sorted.
  virtual uint32_t EnumServices(std::vector<std::string>& names) = 0;
  // ERROR_SERVICE_DOES_NOT_EXIST (1060) for an unknown name.
  virtual uint32_t QueryConfig(const std::string& name, ServiceConfig& config) = 0;
  // ERROR_SERVICE_EXISTS (1073), ERROR_DUPLICATE_SERVICE_NAME (1078) when another service has
  // that display name, ERROR_INVALID_NAME, ERROR_INVALID_PARAMETER for values out of range,
  // ERROR_SERVICE_MARKED_FOR_DELETE (1072). The password is given only with an account.
  virtual uint32_t CreateService(const std::string& name, const ServiceConfig& config,
                                 const std::string& password) = 0;
  // Replaces every field of the configuration.
  virtual uint32_t ChangeConfig(const std::string& name, const ServiceConfig& config,
                                const std::string& password) = 0;
  // Starts the service (its dependencies first) with the arguments after its command line.
  // ERROR_SERVICE_ALREADY_RUNNING (1056), ERROR_SERVICE_DISABLED (1058), 1072, the error of
  // starting its program (ERROR_FILE_NOT_FOUND, ERROR_BAD_EXE_FORMAT, ...).
  virtual uint32_t StartService(const std::string& name,
                                const std::vector<std::string>& arguments) = 0;
  // Sends the stop control and gives the status after it (stop-pending until the service has
  // ended). ERROR_SERVICE_NOT_ACTIVE (1062) for a stopped service,
  // ERROR_DEPENDENT_SERVICES_RUNNING (1051) while a running service depends on it.
  virtual uint32_t ControlStop(const std::string& name, ServiceStatus& status) = 0;
  virtual uint32_t QueryStatus(const std::string& name, ServiceStatus& status) = 0;
  // Deletes the service, or marks it for deletion while it still runs (it goes when it stops);
  // 1072 when it is marked already.
  virtual uint32_t DeleteService(const std::string& name) = 0;
  // GetServiceKeyName: the key name of the service with this display name.
  virtual uint32_t GetKeyName(const std::string& displayName, std::string& name) = 0;
};

}  // namespace platform
