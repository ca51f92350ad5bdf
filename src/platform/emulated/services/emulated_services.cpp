// The service functions over the registry and the run-time state. Every call reads what it needs
// afresh, because another engine process on the machine may have started, stopped or deleted a
// service since; a record whose process has ended reads as stopped, and a service marked for
// deletion goes the moment any call sees that it no longer runs.
#include "platform/emulated/services/emulated_services.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/ansi_case.h"
#include "platform/command_line_args.h"
#include "platform/emulated/processes/process_signal.h"
#include "platform/emulated/services/service_registry.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

using Kind = ServiceRunRecord::Kind;

bool ContainsNoCase(const std::vector<std::string>& names, const std::string& name) {
  return std::any_of(names.begin(), names.end(),
                     [&](const std::string& entry) { return AnsiEqualNoCase(entry, name); });
}

}  // namespace

uint32_t EmulatedServices::OpenManager() {
  return ERROR_SUCCESS;  // the machine's user is its administrator
}

void EmulatedServices::Settle(const std::string& name) {
  if (IsMarkedForDelete(ctx_.registry, name) && states_.Read(name).kind == Kind::Stopped)
    RemoveService(ctx_.registry, name);
}

bool EmulatedServices::IsActive(const std::string& name) {
  return states_.Read(name).kind != Kind::Stopped;
}

uint32_t EmulatedServices::EnumServices(std::vector<std::string>& names) {
  names = ServiceNames(ctx_.registry);
  for (const std::string& name : names) Settle(name);
  std::erase_if(names, [&](const std::string& name) { return !IsService(ctx_.registry, name); });
  return ERROR_SUCCESS;
}

uint32_t EmulatedServices::QueryConfig(const std::string& name, ServiceConfig& config) {
  return ReadServiceConfig(ctx_.registry, name, config);
}

// The display name may be no other service's key or display name, nor the key name another's
// display name. (Windows 10 from 1709 lets two display names be alike; the older rule is kept.)
uint32_t EmulatedServices::CheckNames(const std::string& name, const ServiceConfig& config) {
  if (ContainsNoCase(config.dependencies, name)) return ERROR_CIRCULAR_DEPENDENCY;
  for (const std::string& other : ServiceNames(ctx_.registry)) {
    if (AnsiEqualNoCase(other, name)) continue;
    ServiceConfig otherConfig;
    if (ReadServiceConfig(ctx_.registry, other, otherConfig) != ERROR_SUCCESS) continue;
    if (AnsiEqualNoCase(otherConfig.displayName, name) ||
        (!config.displayName.empty() &&
         (AnsiEqualNoCase(config.displayName, other) ||
          AnsiEqualNoCase(config.displayName, otherConfig.displayName))))
      return ERROR_DUPLICATE_SERVICE_NAME;
  }
  return ERROR_SUCCESS;
}

uint32_t EmulatedServices::CreateService(const std::string& name, const ServiceConfig& config,
                                         const std::string& /*password*/) {
  if (const uint32_t err = CheckServiceName(name)) return err;
  if (const uint32_t err = CheckServiceConfig(config)) return err;
  if (IsService(ctx_.registry, name)) {
    Settle(name);
    if (IsMarkedForDelete(ctx_.registry, name)) return ERROR_SERVICE_MARKED_FOR_DELETE;
    if (IsService(ctx_.registry, name)) return ERROR_SERVICE_EXISTS;
  }
  if (const uint32_t err = CheckNames(name, config)) return err;
  return WriteServiceConfig(ctx_.registry, name, config);
}

uint32_t EmulatedServices::ChangeConfig(const std::string& name, const ServiceConfig& config,
                                        const std::string& /*password*/) {
  if (!IsService(ctx_.registry, name)) return ERROR_SERVICE_DOES_NOT_EXIST;
  if (IsMarkedForDelete(ctx_.registry, name)) return ERROR_SERVICE_MARKED_FOR_DELETE;
  if (const uint32_t err = CheckServiceConfig(config)) return err;
  if (const uint32_t err = CheckNames(name, config)) return err;
  return WriteServiceConfig(ctx_.registry, name, config);
}

uint32_t EmulatedServices::StartService(const std::string& name,
                                        const std::vector<std::string>& arguments) {
  std::vector<std::string> chain;
  return Start(name, arguments, chain);
}

// chain holds the services whose dependencies are being started, to find a circle.
uint32_t EmulatedServices::Start(const std::string& name, const std::vector<std::string>& arguments,
                                 std::vector<std::string>& chain) {
  ServiceConfig config;
  if (const uint32_t err = ReadServiceConfig(ctx_.registry, name, config)) return err;
  if (IsMarkedForDelete(ctx_.registry, name)) return ERROR_SERVICE_MARKED_FOR_DELETE;
  if (config.dwStartType == SERVICE_DISABLED) return ERROR_SERVICE_DISABLED;
  if (IsActive(name)) return ERROR_SERVICE_ALREADY_RUNNING;
  if (ContainsNoCase(chain, name)) return ERROR_CIRCULAR_DEPENDENCY;
  chain.push_back(name);
  for (const std::string& dependency : config.dependencies) {
    const uint32_t err = dependency.front() == '+' ? StartGroup(dependency.substr(1), chain)
                                                   : StartDependency(dependency, chain);
    if (err != ERROR_SUCCESS) {
      chain.pop_back();
      return err;
    }
  }
  chain.pop_back();
  return Run(name, config, arguments);
}

uint32_t EmulatedServices::StartDependency(const std::string& dependency,
                                           std::vector<std::string>& chain) {
  if (!IsService(ctx_.registry, dependency) || IsMarkedForDelete(ctx_.registry, dependency))
    return ERROR_SERVICE_DEPENDENCY_DELETED;
  const uint32_t err = Start(dependency, {}, chain);
  if (err == ERROR_SUCCESS || err == ERROR_SERVICE_ALREADY_RUNNING) return ERROR_SUCCESS;
  return err == ERROR_CIRCULAR_DEPENDENCY ? err : ERROR_SERVICE_DEPENDENCY_FAIL;
}

// A group dependency holds when one service of the group runs after each was tried.
uint32_t EmulatedServices::StartGroup(const std::string& group, std::vector<std::string>& chain) {
  bool bOneRuns = false;
  for (const std::string& member : ServiceNames(ctx_.registry)) {
    ServiceConfig config;
    if (ReadServiceConfig(ctx_.registry, member, config) != ERROR_SUCCESS ||
        !AnsiEqualNoCase(config.loadOrderGroup, group))
      continue;
    const uint32_t err = Start(member, {}, chain);
    if (err == ERROR_CIRCULAR_DEPENDENCY) return err;
    bOneRuns = bOneRuns || err == ERROR_SUCCESS || err == ERROR_SERVICE_ALREADY_RUNNING;
  }
  return bOneRuns ? ERROR_SUCCESS : ERROR_SERVICE_DEPENDENCY_FAIL;
}

uint32_t EmulatedServices::Run(const std::string& name, const ServiceConfig& config,
                               const std::vector<std::string>& arguments) {
  if (const uint32_t err = states_.ClaimStart(name)) return err;
  ServiceRunRecord record;
  if (IsDriver(config.dwServiceType)) {
    record.kind = Kind::Driver;
    return states_.Write(name, record);
  }
  ProcessStart start;
  start.commandLine = ctx_.environment.ExpandEnvironmentStrings(config.binaryPathName);
  for (const std::string& argument : arguments) start.commandLine += " " + QuoteArgument(argument);
  start.currentDirectory = ctx_.systemDirectory;
  start.environment = ctx_.environment.Block();
  start.nShowCmd = SW_HIDE;
  ProcessHandle hProcess;
  if (const uint32_t err = ctx_.processes.CreateServiceProcess(start, hProcess)) {
    states_.Remove(name);
    return err;
  }
  ProcessInfo info;
  ctx_.processes.GetProcessInfo(hProcess, info);
  record.kind = Kind::Process;
  record.dwProcessId = info.dwProcessId;
  record.nStartTime = ProcessStartTime(info.dwProcessId);
  uint32_t dwResult = states_.Write(name, record);
  WaitResult result = WaitResult::TimedOut;
  if (dwResult == ERROR_SUCCESS)
    ctx_.processes.WaitForProcess(hProcess, kServiceStartCheckMs, {}, result);
  if (dwResult != ERROR_SUCCESS || result == WaitResult::Exited) {
    if (dwResult != ERROR_SUCCESS) ctx_.processes.TerminateProcess(hProcess, 1);
    states_.Remove(name);
    dwResult = dwResult != ERROR_SUCCESS ? dwResult : ERROR_SERVICE_REQUEST_TIMEOUT;
  }
  ctx_.processes.CloseProcess(hProcess);  // the process runs on by itself
  return dwResult;
}

bool EmulatedServices::HasActiveDependent(const std::string& name, const ServiceConfig& config) {
  for (const std::string& other : ServiceNames(ctx_.registry)) {
    if (AnsiEqualNoCase(other, name) || !IsActive(other)) continue;
    ServiceConfig otherConfig;
    if (ReadServiceConfig(ctx_.registry, other, otherConfig) != ERROR_SUCCESS) continue;
    if (ContainsNoCase(otherConfig.dependencies, name) ||
        (!config.loadOrderGroup.empty() &&
         ContainsNoCase(otherConfig.dependencies, "+" + config.loadOrderGroup)))
      return true;
  }
  return false;
}

uint32_t EmulatedServices::ControlStop(const std::string& name, ServiceStatus& status) {
  ServiceConfig config;
  if (const uint32_t err = ReadServiceConfig(ctx_.registry, name, config)) return err;
  ServiceRunRecord record = states_.Read(name);
  if (record.kind == Kind::Stopped) {
    QueryStatus(name, status);
    return ERROR_SERVICE_NOT_ACTIVE;
  }
  if (record.kind == Kind::Starting || record.bStopRequested) {
    QueryStatus(name, status);
    return ERROR_SERVICE_CANNOT_ACCEPT_CTRL;
  }
  if (HasActiveDependent(name, config)) {
    QueryStatus(name, status);
    return ERROR_DEPENDENT_SERVICES_RUNNING;
  }
  if (record.kind == Kind::Driver) {
    states_.Remove(name);
  } else {
    record.bStopRequested = true;
    if (const uint32_t err = states_.Write(name, record)) return err;
    SendStopRequest(record.dwProcessId);
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kServiceStopCheckMs);
    while (IsSameProcessRunning(record.dwProcessId, record.nStartTime) &&
           std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(WAIT_STEP_MS));
  }
  return QueryStatus(name, status);
}

uint32_t EmulatedServices::QueryStatus(const std::string& name, ServiceStatus& status) {
  status = ServiceStatus();
  ServiceConfig config;
  if (const uint32_t err = ReadServiceConfig(ctx_.registry, name, config)) return err;
  status.dwServiceType = config.dwServiceType;
  const ServiceRunRecord record = states_.Read(name);
  switch (record.kind) {
    case Kind::Stopped:
      Settle(name);  // the status is still given once, as to a handle opened before
      return ERROR_SUCCESS;
    case Kind::Starting:
      status.dwCurrentState = SERVICE_START_PENDING;
      return ERROR_SUCCESS;
    case Kind::Driver:
      status.dwCurrentState = SERVICE_RUNNING;
      status.dwControlsAccepted = SERVICE_ACCEPT_STOP;
      return ERROR_SUCCESS;
    case Kind::Process:
      status.dwCurrentState = record.bStopRequested ? SERVICE_STOP_PENDING : SERVICE_RUNNING;
      status.dwControlsAccepted = record.bStopRequested ? 0 : SERVICE_ACCEPT_STOP;
      status.dwProcessId = record.dwProcessId;
      return ERROR_SUCCESS;
  }
  return ERROR_SUCCESS;
}

uint32_t EmulatedServices::DeleteService(const std::string& name) {
  if (!IsService(ctx_.registry, name)) return ERROR_SERVICE_DOES_NOT_EXIST;
  if (IsMarkedForDelete(ctx_.registry, name)) {
    Settle(name);
    return ERROR_SERVICE_MARKED_FOR_DELETE;
  }
  if (IsActive(name)) return MarkForDelete(ctx_.registry, name);
  return RemoveService(ctx_.registry, name);
}

uint32_t EmulatedServices::GetKeyName(const std::string& displayName, std::string& name) {
  name.clear();
  for (const std::string& candidate : ServiceNames(ctx_.registry)) {
    ServiceConfig config;
    if (ReadServiceConfig(ctx_.registry, candidate, config) == ERROR_SUCCESS &&
        AnsiEqualNoCase(config.displayName, displayName)) {
      name = candidate;
      return ERROR_SUCCESS;
    }
  }
  return ERROR_SERVICE_DOES_NOT_EXIST;
}

void EmulatedServices::ShutDown(std::vector<ServiceRestartStep>& steps) {
  for (const std::string& name : ServiceNames(ctx_.registry)) {
    const ServiceRunRecord record = states_.Read(name);
    if (record.kind == Kind::Process) {
      KillProcessGroup(record.dwProcessId);
      steps.push_back({"end service " + name, ERROR_SUCCESS});
    }
  }
  for (const ServiceRunRecord& orphan : states_.TakeAll())  // records of deleted keys
    if (orphan.kind == Kind::Process) KillProcessGroup(orphan.dwProcessId);
  for (const std::string& name : ServiceNames(ctx_.registry))
    if (IsMarkedForDelete(ctx_.registry, name))
      steps.push_back({"delete service " + name, RemoveService(ctx_.registry, name)});
}

void EmulatedServices::StartUp(std::vector<ServiceRestartStep>& steps) {
  for (const uint32_t dwStartType : {SERVICE_BOOT_START, SERVICE_SYSTEM_START, SERVICE_AUTO_START})
    for (const std::string& name : ServiceNames(ctx_.registry)) {
      ServiceConfig config;
      if (ReadServiceConfig(ctx_.registry, name, config) != ERROR_SUCCESS ||
          config.dwStartType != dwStartType || IsActive(name))
        continue;
      steps.push_back({"start service " + name, StartService(name, {})});
    }
}

}  // namespace platform::emulated
