// "winmachine services": the machine's services as Windows' sc.exe shows and drives them. "list"
// gives one line per service (state, key name, display name); "query [NAME]" the status block sc
// prints; "start NAME [ARG...]" and "stop NAME" send the request and print the status after it.
// A refused request is one line on stderr with the Windows error and its text, as sc reports it.
#include <cstdio>
#include <string>
#include <vector>

#include "cli.h"
#include "platform/error_text.h"
#include "platform/services.h"
#include "platform/win_error.h"

namespace winmachine {
namespace {

using platform::ServiceStatus;

const char* StateName(uint32_t dwState) {
  switch (dwState) {
    case platform::SERVICE_STOPPED:
      return "STOPPED";
    case platform::SERVICE_START_PENDING:
      return "START_PENDING";
    case platform::SERVICE_STOP_PENDING:
      return "STOP_PENDING";
    case platform::SERVICE_RUNNING:
      return "RUNNING";
    default:
      return "UNKNOWN";
  }
}

std::string TypeText(uint32_t dwType) {
  char number[16];
  std::snprintf(number, sizeof(number), "%x", dwType);
  const uint32_t dwBase = dwType & ~platform::SERVICE_INTERACTIVE_PROCESS;
  const char* pszName = dwBase == platform::SERVICE_KERNEL_DRIVER         ? "KERNEL_DRIVER"
                        : dwBase == platform::SERVICE_FILE_SYSTEM_DRIVER  ? "FILE_SYSTEM_DRIVER"
                        : dwBase == platform::SERVICE_WIN32_SHARE_PROCESS ? "WIN32_SHARE_PROCESS"
                                                                          : "WIN32_OWN_PROCESS";
  std::string text = std::string(number) + "  " + pszName;
  if (dwType & platform::SERVICE_INTERACTIVE_PROCESS) text += "  (interactive)";
  return text;
}

// The failure line sc gives: "[SC] StartService FAILED 1058: The service cannot be ...".
int FailedCall(const char* pszCall, uint32_t dwError) {
  std::string text = platform::SystemErrorText(dwError);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return Fail(kExitFailed,
              std::string("[SC] ") + pszCall + " FAILED " + std::to_string(dwError) + ": " + text);
}

void PrintStatus(const std::string& name, const ServiceStatus& status, bool bWithPid) {
  const uint32_t dwState = status.dwCurrentState;
  PrintLine("");
  PrintLine("SERVICE_NAME: " + name);
  PrintLine("        TYPE               : " + TypeText(status.dwServiceType));
  PrintLine("        STATE              : " + std::to_string(dwState) + "  " + StateName(dwState));
  if (dwState != platform::SERVICE_STOPPED)
    PrintLine(std::string("                                (") +
              (status.dwControlsAccepted & platform::SERVICE_ACCEPT_STOP ? "STOPPABLE"
                                                                         : "NOT_STOPPABLE") +
              ", NOT_PAUSABLE, IGNORES_SHUTDOWN)");
  char exitCode[48];
  std::snprintf(exitCode, sizeof(exitCode), "%u  (0x%x)", status.dwWin32ExitCode,
                status.dwWin32ExitCode);
  PrintLine(std::string("        WIN32_EXIT_CODE    : ") + exitCode);
  PrintLine("        SERVICE_EXIT_CODE  : 0  (0x0)");
  PrintLine("        CHECKPOINT         : 0x0");
  PrintLine("        WAIT_HINT          : 0x0");
  if (bWithPid) {
    PrintLine("        PID                : " + std::to_string(status.dwProcessId));
    PrintLine("        FLAGS              :");
  }
}

int List(platform::ServiceManager& services) {
  std::vector<std::string> names;
  if (const uint32_t err = services.EnumServices(names)) return FailedCall("EnumServices", err);
  for (const std::string& name : names) {
    ServiceStatus status;
    platform::ServiceConfig config;
    if (services.QueryStatus(name, status) || services.QueryConfig(name, config)) continue;
    std::string line = StateName(status.dwCurrentState);
    line.resize(14, ' ');
    line += name;
    if (config.displayName != name) line += "  " + config.displayName;
    PrintLine(line);
  }
  return kExitOk;
}

int Query(platform::ServiceManager& services, const std::vector<std::string>& args) {
  std::vector<std::string> names;
  if (args.size() == 2) {
    names.push_back(FromArg(args[1]));
  } else if (const uint32_t err = services.EnumServices(names)) {
    return FailedCall("EnumServices", err);
  }
  for (const std::string& name : names) {
    ServiceStatus status;
    if (const uint32_t err = services.QueryStatus(name, status))
      return FailedCall("OpenService", err);
    PrintStatus(name, status, false);
  }
  return kExitOk;
}

int StartOrStop(platform::ServiceManager& services, const std::vector<std::string>& args) {
  const std::string name = FromArg(args[1]);
  ServiceStatus status;
  if (args[0] == "stop") {
    if (const uint32_t err = services.ControlStop(name, status))
      return FailedCall("ControlService", err);
    PrintStatus(name, status, false);
    return kExitOk;
  }
  std::vector<std::string> arguments;
  for (size_t i = 2; i < args.size(); ++i) arguments.push_back(FromArg(args[i]));
  if (const uint32_t err = services.StartService(name, arguments))
    return FailedCall("StartService", err);
  services.QueryStatus(name, status);
  PrintStatus(name, status, true);
  return kExitOk;
}

}  // namespace

int ServicesCommand(const Invocation& invocation) {
  const std::vector<std::string>& args = invocation.args;
  const std::string verb = args.empty() ? "list" : args[0];
  const bool bValid = (verb == "list" && args.size() <= 1) ||
                      (verb == "query" && args.size() <= 2) ||
                      (verb == "start" && args.size() >= 2) || (verb == "stop" && args.size() == 2);
  if (!bValid)
    return Fail(kExitUsage,
                "usage: services [list] | services query [NAME] | "
                "services start NAME [ARG...] | services stop NAME");
  auto machine = OpenMachine(invocation);
  if (!machine) return kExitFailed;
  platform::ServiceManager& services = machine->Services();
  if (const uint32_t err = services.OpenManager()) return FailedCall("OpenSCManager", err);
  if (verb == "list") return List(services);
  if (verb == "query") return Query(services, args);
  return StartOrStop(services, args);
}

}  // namespace winmachine
