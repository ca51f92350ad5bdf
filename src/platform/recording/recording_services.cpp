// Recorded service changes: the configuration asked for goes into the change's detail (never the
// password), the command line into its target's detail, so that a plan shows what would run.
#include "platform/recording/recording_services.h"

#include "platform/win_error.h"

namespace platform {

namespace {

std::string ConfigText(const ServiceConfig& config) {
  std::string text = "\"" + config.binaryPathName + "\" start " +
                     std::to_string(config.dwStartType) + " type " +
                     std::to_string(config.dwServiceType);
  if (!config.serviceStartName.empty()) text += " as " + config.serviceStartName;
  return text;
}

}  // namespace

uint32_t RecordingServices::CreateService(const std::string& name, const ServiceConfig& config,
                                          const std::string&) {
  m_changes.Add(ChangeKind::ServiceCreated, name, ConfigText(config));
  return ERROR_SUCCESS;
}

uint32_t RecordingServices::ChangeConfig(const std::string& name, const ServiceConfig& config,
                                         const std::string&) {
  m_changes.Add(ChangeKind::ServiceChanged, name, ConfigText(config));
  return ERROR_SUCCESS;
}

uint32_t RecordingServices::StartService(const std::string& name,
                                         const std::vector<std::string>& arguments) {
  std::string detail;
  for (const std::string& argument : arguments) detail += (detail.empty() ? "" : " ") + argument;
  m_changes.Add(ChangeKind::ServiceStarted, name, detail);
  return ERROR_SUCCESS;
}

uint32_t RecordingServices::ControlStop(const std::string& name, ServiceStatus& status) {
  if (uint32_t dwError = m_wrapped.QueryStatus(name, status)) return dwError;
  m_changes.Add(ChangeKind::ServiceStopped, name);
  status.dwCurrentState = SERVICE_STOPPED;
  status.dwProcessId = 0;
  return ERROR_SUCCESS;
}

uint32_t RecordingServices::DeleteService(const std::string& name) {
  m_changes.Add(ChangeKind::ServiceDeleted, name);
  return ERROR_SUCCESS;
}

}  // namespace platform
