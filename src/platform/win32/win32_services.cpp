// The service functions' errors go to the setup unchanged, so every call opens the manager and the
// service with exactly the access its function needs: a caller who may query but not change a
// service then gets ERROR_ACCESS_DENIED from the change, as Windows gives it, not from the open.
// Variable-length answers (a configuration, the list of services) are read into a buffer sized by
// the function's own "bytes needed".
#include "platform/win32/win32_services.h"

#include <algorithm>
#include <utility>

#include "platform/ansi_case.h"
#include "platform/win_error.h"

#include "platform/win32/windows_api.h"
// clang-format off
#include <winsvc.h>
// clang-format on

#undef CreateService
#undef StartService

namespace platform::win32 {
namespace {

constexpr DWORD kFirstEnumBytes = 64 * 1024;

// A handle of the service control manager or of a service, closed when it goes.
class ServiceHandle {
 public:
  ServiceHandle() = default;
  explicit ServiceHandle(SC_HANDLE hService) : hService_(hService) {}
  ~ServiceHandle() {
    if (hService_) CloseServiceHandle(hService_);
  }
  ServiceHandle(ServiceHandle&& other) noexcept : hService_(std::exchange(other.hService_, {})) {}
  ServiceHandle& operator=(ServiceHandle&& other) noexcept {
    std::swap(hService_, other.hService_);
    return *this;
  }
  SC_HANDLE get() const { return hService_; }

 private:
  SC_HANDLE hService_ = nullptr;
};

uint32_t OpenManagerFor(DWORD dwAccess, ServiceHandle& hManager) {
  hManager = ServiceHandle(OpenSCManagerA(nullptr, nullptr, dwAccess));
  return hManager.get() ? ERROR_SUCCESS : GetLastError();
}

// A service handle stays valid after its manager's handle is closed.
uint32_t OpenNamedService(const std::string& name, DWORD dwAccess, ServiceHandle& hService) {
  ServiceHandle hManager;
  if (const uint32_t err = OpenManagerFor(SC_MANAGER_CONNECT, hManager)) return err;
  hService = ServiceHandle(OpenServiceA(hManager.get(), name.c_str(), dwAccess));
  return hService.get() ? ERROR_SUCCESS : GetLastError();
}

const char* NullIfEmpty(const std::string& text) {
  return text.empty() ? nullptr : text.c_str();
}

// "Tcpip\0+NetworkProvider\0\0": the names, each ended by a NUL, and one more NUL (an empty list
// is a single NUL more than the string's own).
std::string DependencyList(const std::vector<std::string>& dependencies) {
  std::string list;
  for (const std::string& dependency : dependencies) list += dependency + '\0';
  return list;
}

std::vector<std::string> DependenciesOf(const char* list) {
  std::vector<std::string> dependencies;
  for (const char* name = list; name && *name; name += dependencies.back().size() + 1)
    dependencies.emplace_back(name);
  return dependencies;
}

// The account a configuration names: empty is LocalSystem for a program and the system's choice
// for a driver, which runs under no account. Its password goes only with an account.
const char* AccountOf(const ServiceConfig& config) {
  if (!config.serviceStartName.empty()) return config.serviceStartName.c_str();
  return (config.dwServiceType & (SERVICE_WIN32_OWN_PROCESS | SERVICE_WIN32_SHARE_PROCESS))
             ? "LocalSystem"
             : nullptr;
}

const char* PasswordOf(const ServiceConfig& config, const std::string& password) {
  return config.serviceStartName.empty() ? nullptr : password.c_str();
}

// SERVICE_STATUS and SERVICE_STATUS_PROCESS share these fields' names.
template <typename SystemStatus>
void CopyStatus(const SystemStatus& from, ServiceStatus& to) {
  to.dwServiceType = from.dwServiceType;
  to.dwCurrentState = from.dwCurrentState;
  to.dwControlsAccepted = from.dwControlsAccepted;
  to.dwWin32ExitCode = from.dwWin32ExitCode;
}

uint32_t QueryProcessStatus(SC_HANDLE hService, SERVICE_STATUS_PROCESS& status) {
  DWORD cbNeeded = 0;
  return QueryServiceStatusEx(hService, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                              sizeof status, &cbNeeded)
             ? ERROR_SUCCESS
             : GetLastError();
}

void AppendServiceNames(const std::vector<BYTE>& buffer, DWORD nReturned,
                        std::vector<std::string>& names) {
  const auto* services = reinterpret_cast<const ENUM_SERVICE_STATUSA*>(buffer.data());
  for (DWORD i = 0; i < nReturned; ++i) names.emplace_back(services[i].lpServiceName);
}

}  // namespace

uint32_t Win32Services::OpenManager() {
  ServiceHandle hManager;
  return OpenManagerFor(SC_MANAGER_ALL_ACCESS, hManager);
}

uint32_t Win32Services::EnumServices(std::vector<std::string>& names) {
  names.clear();
  ServiceHandle hManager;
  if (const uint32_t err = OpenManagerFor(SC_MANAGER_ENUMERATE_SERVICE, hManager)) return err;
  std::vector<BYTE> buffer(kFirstEnumBytes);
  DWORD dwResume = 0;
  for (;;) {
    DWORD cbNeeded = 0;
    DWORD nReturned = 0;
    const BOOL bDone =
        EnumServicesStatusA(hManager.get(), SERVICE_DRIVER | SERVICE_WIN32, SERVICE_STATE_ALL,
                            reinterpret_cast<ENUM_SERVICE_STATUSA*>(buffer.data()),
                            static_cast<DWORD>(buffer.size()), &cbNeeded, &nReturned, &dwResume);
    const DWORD err = bDone ? ERROR_SUCCESS : GetLastError();
    if (err != ERROR_SUCCESS && err != ERROR_MORE_DATA) return err;
    AppendServiceNames(buffer, nReturned, names);
    if (bDone) break;
    if (nReturned == 0) buffer.resize(std::max<size_t>(buffer.size() * 2, cbNeeded));
  }
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return AnsiCompareNoCase(a, b) < 0; });
  return ERROR_SUCCESS;
}

uint32_t Win32Services::QueryConfig(const std::string& name, ServiceConfig& config) {
  ServiceHandle hService;
  if (const uint32_t err = OpenNamedService(name, SERVICE_QUERY_CONFIG, hService)) return err;
  DWORD cbNeeded = 0;
  if (!QueryServiceConfigA(hService.get(), nullptr, 0, &cbNeeded) &&
      GetLastError() != ERROR_INSUFFICIENT_BUFFER)
    return GetLastError();
  std::vector<BYTE> buffer(cbNeeded);
  auto* info = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
  if (!QueryServiceConfigA(hService.get(), info, cbNeeded, &cbNeeded)) return GetLastError();
  config.dwServiceType = info->dwServiceType;
  config.dwStartType = info->dwStartType;
  config.dwErrorControl = info->dwErrorControl;
  config.binaryPathName = info->lpBinaryPathName ? info->lpBinaryPathName : "";
  config.loadOrderGroup = info->lpLoadOrderGroup ? info->lpLoadOrderGroup : "";
  config.dependencies = DependenciesOf(info->lpDependencies);
  config.serviceStartName = info->lpServiceStartName ? info->lpServiceStartName : "";
  config.displayName = info->lpDisplayName ? info->lpDisplayName : "";
  return ERROR_SUCCESS;
}

uint32_t Win32Services::CreateService(const std::string& name, const ServiceConfig& config,
                                      const std::string& password) {
  ServiceHandle hManager;
  if (const uint32_t err = OpenManagerFor(SC_MANAGER_CREATE_SERVICE, hManager)) return err;
  const std::string dependencies = DependencyList(config.dependencies);
  const ServiceHandle hService(CreateServiceA(
      hManager.get(), name.c_str(), NullIfEmpty(config.displayName), SERVICE_ALL_ACCESS,
      config.dwServiceType, config.dwStartType, config.dwErrorControl,
      config.binaryPathName.c_str(), NullIfEmpty(config.loadOrderGroup), nullptr,
      dependencies.c_str(), NullIfEmpty(config.serviceStartName), PasswordOf(config, password)));
  return hService.get() ? ERROR_SUCCESS : GetLastError();
}

// Every field is written, so an empty one clears what was there: no group, no dependencies,
// LocalSystem, and the key name as the display name (as CreateService gives a service none).
uint32_t Win32Services::ChangeConfig(const std::string& name, const ServiceConfig& config,
                                     const std::string& password) {
  ServiceHandle hService;
  if (const uint32_t err = OpenNamedService(name, SERVICE_CHANGE_CONFIG, hService)) return err;
  const std::string dependencies = DependencyList(config.dependencies);
  const std::string& displayName = config.displayName.empty() ? name : config.displayName;
  if (!ChangeServiceConfigA(hService.get(), config.dwServiceType, config.dwStartType,
                            config.dwErrorControl, config.binaryPathName.c_str(),
                            config.loadOrderGroup.c_str(), nullptr, dependencies.c_str(),
                            AccountOf(config), PasswordOf(config, password), displayName.c_str()))
    return GetLastError();
  return ERROR_SUCCESS;
}

uint32_t Win32Services::StartService(const std::string& name,
                                     const std::vector<std::string>& arguments) {
  ServiceHandle hService;
  if (const uint32_t err = OpenNamedService(name, SERVICE_START, hService)) return err;
  std::vector<const char*> argv;
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  if (!StartServiceA(hService.get(), static_cast<DWORD>(argv.size()),
                     argv.empty() ? nullptr : argv.data()))
    return GetLastError();
  return ERROR_SUCCESS;
}

// The process is read before the control goes, while the service still has one.
uint32_t Win32Services::ControlStop(const std::string& name, ServiceStatus& status) {
  ServiceHandle hService;
  if (const uint32_t err = OpenNamedService(name, SERVICE_STOP | SERVICE_QUERY_STATUS, hService))
    return err;
  SERVICE_STATUS_PROCESS before{};
  if (const uint32_t err = QueryProcessStatus(hService.get(), before)) return err;
  status.dwProcessId = before.dwProcessId;
  SERVICE_STATUS after{};
  if (!ControlService(hService.get(), SERVICE_CONTROL_STOP, &after)) {
    const uint32_t err = GetLastError();
    CopyStatus(before, status);
    return err;
  }
  CopyStatus(after, status);
  return ERROR_SUCCESS;
}

uint32_t Win32Services::QueryStatus(const std::string& name, ServiceStatus& status) {
  ServiceHandle hService;
  if (const uint32_t err = OpenNamedService(name, SERVICE_QUERY_STATUS, hService)) return err;
  SERVICE_STATUS_PROCESS current{};
  if (const uint32_t err = QueryProcessStatus(hService.get(), current)) return err;
  CopyStatus(current, status);
  status.dwProcessId = current.dwProcessId;
  return ERROR_SUCCESS;
}

uint32_t Win32Services::DeleteService(const std::string& name) {
  ServiceHandle hService;
  if (const uint32_t err = OpenNamedService(name, DELETE, hService)) return err;
  return ::DeleteService(hService.get()) ? ERROR_SUCCESS : GetLastError();
}

uint32_t Win32Services::GetKeyName(const std::string& displayName, std::string& name) {
  ServiceHandle hManager;
  if (const uint32_t err = OpenManagerFor(SC_MANAGER_CONNECT, hManager)) return err;
  std::string buffer(MAX_PATH, '\0');
  DWORD nChars = static_cast<DWORD>(buffer.size());
  if (!GetServiceKeyNameA(hManager.get(), displayName.c_str(), buffer.data(), &nChars)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return GetLastError();
    buffer.resize(++nChars);
    if (!GetServiceKeyNameA(hManager.get(), displayName.c_str(), buffer.data(), &nChars))
      return GetLastError();
  }
  name = buffer.c_str();
  return ERROR_SUCCESS;
}

}  // namespace platform::win32
