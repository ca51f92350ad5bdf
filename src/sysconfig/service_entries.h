// The entries of the [Services] and [EventSources] sections as pure readers of their values: the
// ten fields of a service, the six of an event source, the name tables of their number fields,
// and the command line and dependency list a service is created with. A field that names
// something outside its table makes the whole entry invalid, so that nothing is changed.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvium {

struct ServiceEntry {
  std::string displayName;  // the service name when the field is empty
  uint32_t dwServiceType = 0x10;
  uint32_t dwStartType = 3;
  uint32_t dwErrorControl = 1;
  std::string loadOrderGroup;
  std::vector<std::string> dependencies;
  std::string account;   // empty: LocalSystem; a bare name becomes ".\name"
  std::string password;  // as written (encrypted from format 0x650 on)
  std::string eventSource;  // the service name when the field is empty
  std::string arguments;
};

struct EventSourceEntry {
  std::string logName;
  uint32_t dwTypesSupported = 7;
  std::string eventMessageFile;
  std::string parameterMessageFile;
  std::string categoryMessageFile;
  uint32_t dwCategoryCount = 0;
};

// False when a type, start or error-control field names something outside its table; that field
// is then in invalidField (for message 5530, which so never shows the entry's password).
bool ParseServiceEntry(std::string_view serviceName, std::string_view value, ServiceEntry& entry,
                       std::string& invalidField);
// False when the types field names something outside its table.
bool ParseEventSourceEntry(std::string_view value, EventSourceEntry& entry,
                           std::string& invalidField);

// Whether the account is a local one (".\name"), and its bare name.
bool IsLocalAccount(std::string_view account);
std::string LocalAccountName(std::string_view account);

// The program path and the arguments joined by a blank; for anything but a kernel driver a path
// with a blank that is not quoted yet is quoted. Trailing blanks are cut.
std::string ServiceCommandLine(std::string_view programPath, std::string_view arguments,
                               uint32_t dwServiceType);
// The ";"-separated names, each trimmed; the list ends at its first empty name.
std::vector<std::string> SplitDependencies(std::string_view text);

}  // namespace tarvium
