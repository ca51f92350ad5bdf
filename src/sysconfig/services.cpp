// Installing, removing, starting and stopping services through the machine's service manager. An
// install registers the event source first, prepares a local account with the security
// commands, then creates the service or reconfigures the one that exists, and starts an automatic
// service at once (or leaves it to the restart). A removal stops the service, waiting once a
// second while it is stopping, deletes it, and undoes the account and the event source.
#include <vector>

#include "engine/inf_values.h"
#include "engine/pump_messages.h"
#include "engine/registry_text.h"
#include "engine/setup_run.h"
#include "engine/show_message.h"
#include "engine/wait_cursor.h"
#include "platform/error_text.h"
#include "platform/win_error.h"
#include "script/script_command.h"
#include "sysconfig/security_commands.h"
#include "sysconfig/service_entries.h"
#include "sysconfig/services.h"

namespace tarvium {
namespace {

using platform::ERROR_SUCCESS;

constexpr uint32_t kStopPollMs = 1000;
constexpr uint32_t kAccountRemovalPauseMs = 2000;
// How long a stopping service may take, as Windows waits for services when it shuts down.
constexpr const char* kControlKey = "SYSTEM\\CurrentControlSet\\Control";
constexpr uint32_t kDefaultStopTimeoutMs = 20000;

platform::ServiceManager& ServicesOf(SetupRun& run) {
  return run.machine.Services();
}

// A text inside a single-quoted field of a security command.
std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    quoted += c;
    if (c == '\'') quoted += c;
  }
  return quoted + "'";
}

// The local account is created (or released, in the removal sense) and any account gets (or
// loses) the right to log on as a service. In a removal the right goes first and the user two
// seconds later; an account whose use ends is deleted without a question.
bool PrepareAccount(SetupRun& run, const ServiceEntry& entry, bool bInstall) {
  if (entry.account.empty()) return true;
  const bool bLocal = IsLocalAccount(entry.account);
  const std::string userLine = "LocalUser.Add (" + Quoted(LocalAccountName(entry.account)) +
                               ", " + Quoted(entry.password) +
                               ", '', PRIV_USER, '', '', DONT_EXPIRE_PASSWD)";
  const std::string rightLine = "Privilege.Add ('SeServiceLogonRight', " +
                                Quoted(LocalAccountName(entry.account)) + ")";
  if (bInstall) {
    if (bLocal && !RunSecurityCommand(run, userLine, false, false, true)) return false;
    return RunSecurityCommand(run, rightLine, false, false, true);
  }
  if (!bLocal) return true;
  if (!RunSecurityCommand(run, rightLine, false, false, true)) return false;
  run.machine.Time().Sleep(kAccountRemovalPauseMs);
  return RunSecurityCommand(run, userLine, false, false, true);
}

platform::ServiceConfig ConfigOf(const ServiceEntry& entry, const std::string& commandLine) {
  platform::ServiceConfig config;
  config.dwServiceType = entry.dwServiceType;
  config.dwStartType = entry.dwStartType;
  config.dwErrorControl = entry.dwErrorControl;
  config.binaryPathName = commandLine;
  config.loadOrderGroup = entry.loadOrderGroup;
  config.dependencies = entry.dependencies;
  config.serviceStartName = entry.account.empty() ? "LocalSystem" : entry.account;
  config.displayName = entry.displayName;
  return config;
}

// The automatic start at once, or the restart that starts it (and boot and system services).
uint32_t StartAfterInstall(SetupRun& run, const std::string& name, uint32_t dwStartType) {
  if (dwStartType > platform::SERVICE_AUTO_START) return ERROR_SUCCESS;
  const bool bOnReboot =
      run.inf && ReadSwitchKey(*run.inf, "Application", "StartServicesOnReboot", false);
  if (dwStartType != platform::SERVICE_AUTO_START || bOnReboot) {
    run.ctx.bConfigChanged = true;
    return ERROR_SUCCESS;
  }
  const uint32_t err = ServicesOf(run).StartService(name, {});
  return err == platform::ERROR_SERVICE_ALREADY_RUNNING ? ERROR_SUCCESS : err;
}

uint32_t CreateOrReconfigure(SetupRun& run, const std::string& name, const ServiceEntry& entry,
                             const std::string& commandLine) {
  platform::ServiceManager& services = ServicesOf(run);
  const platform::ServiceConfig config = ConfigOf(entry, commandLine);
  const std::string password = entry.account.empty() ? "" : StoredPassword(run, entry.password);
  platform::ServiceConfig existing;
  uint32_t err = ERROR_SUCCESS;
  if (services.QueryConfig(name, existing) == ERROR_SUCCESS)
    err = services.ChangeConfig(name, config, password);
  else
    err = services.CreateService(name, config, password);
  if (err == platform::ERROR_SERVICE_EXISTS) err = ERROR_SUCCESS;
  if (err != ERROR_SUCCESS) return err;
  return StartAfterInstall(run, name, entry.dwStartType);
}

uint32_t ReadStopTimeout(SetupRun& run) {
  std::string text;
  if (RegReadText(run, platform::RegRoot::LocalMachine, kControlKey, "WaitToKillServiceTimeout",
                  text) != ERROR_SUCCESS)
    return kDefaultStopTimeoutMs;
  const int32_t nMs = ParseDecimal(text);
  return nMs > 0 ? static_cast<uint32_t>(nMs) : kDefaultStopTimeoutMs;
}

// The stop wait: one second, then once a second while the service is stopping, with the user
// interface alive between polls; a service that is not stopped in the end is a time-out.
uint32_t WaitUntilStopped(SetupRun& run, const std::string& name) {
  const WaitCursor cursor(run);
  const uint32_t nLimitMs = ReadStopTimeout(run);
  platform::ServiceStatus status;
  uint32_t nWaitedMs = 0;
  do {
    run.machine.Time().Sleep(kStopPollMs);
    nWaitedMs += kStopPollMs;
    const uint32_t err = ServicesOf(run).QueryStatus(name, status);
    if (err != ERROR_SUCCESS) return err;
    if (!run.ctx.bSilent) PumpWindowMessages(run);
  } while (status.dwCurrentState == platform::SERVICE_STOP_PENDING && nWaitedMs < nLimitMs);
  return status.dwCurrentState == platform::SERVICE_STOPPED
             ? ERROR_SUCCESS
             : platform::ERROR_SERVICE_REQUEST_TIMEOUT;
}

uint32_t StopIfRunning(SetupRun& run, const std::string& name) {
  platform::ServiceStatus status;
  uint32_t err = ServicesOf(run).QueryStatus(name, status);
  if (err != ERROR_SUCCESS || status.dwCurrentState == platform::SERVICE_STOPPED) return err;
  if (status.dwCurrentState != platform::SERVICE_STOP_PENDING) {
    err = ServicesOf(run).ControlStop(name, status);
    if (err != ERROR_SUCCESS) return err;
  }
  return WaitUntilStopped(run, name);
}

uint32_t Remove(SetupRun& run, const std::string& name, const ServiceEntry& entry) {
  uint32_t err = StopIfRunning(run, name);
  if (err == ERROR_SUCCESS) err = ServicesOf(run).DeleteService(name);
  if (err != ERROR_SUCCESS) return err;
  PrepareAccount(run, entry, false);
  InstallEventSource(run, entry.eventSource, false);
  return ERROR_SUCCESS;
}

// Message 5559 for a service manager error; Ignore, and a silent run, go on.
bool ServiceResult(SetupRun& run, const ServiceEntry& entry, uint32_t err) {
  if (err == ERROR_SUCCESS) return true;
  if (run.ctx.bSilent) return true;
  return ShowMessage(run, 5559, entry.displayName, int64_t{err},
                     platform::SystemErrorText(err)) == kResultIgnore;
}

std::string ServiceNameOf(const std::string& argumentText) {
  return ArgumentAt(ListArguments(argumentText), 0);
}

}  // namespace

bool InstallService(SetupRun& run, const std::string& serviceName,
                    const std::string& programPath, bool bInstall) {
  const std::string value = ReadSystemEntry(run, "Services", serviceName);
  ServiceEntry entry;
  std::string invalidField;
  if (!ParseServiceEntry(serviceName, value, entry, invalidField)) {
    ShowMessage(run, 5530, invalidField);
    return false;
  }
  if (!bInstall) return ServiceResult(run, entry, Remove(run, serviceName, entry));
  if (!InstallEventSource(run, entry.eventSource, true)) return false;
  uint32_t err = ServicesOf(run).OpenManager();
  if (err == ERROR_SUCCESS) {
    if (!PrepareAccount(run, entry, true)) return false;
    const std::string commandLine =
        ServiceCommandLine(programPath, entry.arguments, entry.dwServiceType);
    err = CreateOrReconfigure(run, serviceName, entry, commandLine);
  }
  return ServiceResult(run, entry, err);
}

bool StartServiceByName(SetupRun& run, const std::string& argumentText, std::string& errorText) {
  const uint32_t err = ServicesOf(run).StartService(ServiceNameOf(argumentText), {});
  if (err == ERROR_SUCCESS || err == platform::ERROR_SERVICE_ALREADY_RUNNING) return true;
  errorText = platform::SystemErrorText(err);
  return false;
}

bool StopServiceByName(SetupRun& run, const std::string& argumentText, std::string& errorText) {
  const std::string name = ServiceNameOf(argumentText);
  platform::ServiceStatus status;
  uint32_t err = ServicesOf(run).ControlStop(name, status);
  if (err == platform::ERROR_SERVICE_NOT_ACTIVE || err == platform::ERROR_SERVICE_CANNOT_ACCEPT_CTRL ||
      err == platform::ERROR_INVALID_SERVICE_CONTROL)
    return true;
  if (err == ERROR_SUCCESS) err = WaitUntilStopped(run, name);
  if (err == ERROR_SUCCESS) return true;
  errorText = platform::SystemErrorText(err);
  return false;
}

}  // namespace tarvium
