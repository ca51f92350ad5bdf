// A service's configuration where Windows keeps it: the values of
// HKLM\SYSTEM\CurrentControlSet\Services\<name> (Type, Start, ErrorControl, ImagePath, Group,
// DependOnService, DependOnGroup, ObjectName, DisplayName, and DeleteFlag for a service marked
// for deletion). A key there is a service only when it has a Type; the keys Windows keeps there
// for other purposes (EventLog's sources, Tcpip's parameters) stay keys and are not listed.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/services.h"

namespace platform::emulated {

inline constexpr char kServicesKey[] = "SYSTEM\\CurrentControlSet\\Services";

std::string ServiceKeyOf(const std::string& name);
bool IsService(Registry& registry, const std::string& name);
bool IsMarkedForDelete(Registry& registry, const std::string& name);
// The key names of the services, sorted without regard to case.
std::vector<std::string> ServiceNames(Registry& registry);

// ERROR_SERVICE_DOES_NOT_EXIST when name is no service. A missing DisplayName reads as the key
// name, a missing ObjectName of a Win32 service as "LocalSystem", as QueryServiceConfig gives them.
uint32_t ReadServiceConfig(Registry& registry, const std::string& name, ServiceConfig& config);
// Writes every value of the configuration in one transaction, removing the values it leaves
// empty; a Win32 service without an account runs as LocalSystem.
uint32_t WriteServiceConfig(Registry& registry, const std::string& name,
                            const ServiceConfig& config);
uint32_t MarkForDelete(Registry& registry, const std::string& name);
// Deletes the service's key with its subkeys; a key that holds keys Windows owns (EventLog's
// Application log) stays, without the service's values, so it is a key again and no service.
uint32_t RemoveService(Registry& registry, const std::string& name);

// The checks CreateService and ChangeServiceConfig make of the values alone:
// ERROR_INVALID_PARAMETER for a type, start type, error control or command line Windows refuses.
uint32_t CheckServiceConfig(const ServiceConfig& config);
// ERROR_INVALID_NAME for a name Windows refuses (empty, longer than 256, with a slash).
uint32_t CheckServiceName(const std::string& name);

inline bool IsDriver(uint32_t dwServiceType) {
  return (dwServiceType & (SERVICE_KERNEL_DRIVER | SERVICE_FILE_SYSTEM_DRIVER)) != 0;
}

}  // namespace platform::emulated
