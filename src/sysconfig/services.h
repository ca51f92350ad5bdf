// Services and event-log sources as the [Services] and [EventSources] sections describe them:
// installed or removed as the caller says (the uninstall pass passes "remove"), started and
// stopped by name. Failures of the service manager are message 5559 with the system's text;
// start and stop leave that text for their command instead.
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

// The value of a key of [Services] or [EventSources]: at most 255 characters, variables replaced.
std::string ReadSystemEntry(SetupRun& run, const char* pszSection, const std::string& key);

// Leads the service commands and the copy of SERVICE files to these handlers.
void AttachServices(SetupRun& run);

bool InstallService(SetupRun& run, const std::string& serviceName,
                    const std::string& programPath, bool bInstall);
bool InstallEventSource(SetupRun& run, const std::string& sourceName, bool bInstall);
// The argument text may start with "("; its first field is the service name.
bool StartServiceByName(SetupRun& run, const std::string& argumentText, std::string& errorText);
bool StopServiceByName(SetupRun& run, const std::string& argumentText, std::string& errorText);

}  // namespace tarvium
