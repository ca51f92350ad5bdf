#include "sysconfig/service_entries.h"

#include <array>

#include "engine/ansi_text.h"
#include "engine/inf_fields.h"
#include "engine/inf_values.h"
#include "platform/services.h"

namespace tarvium {
namespace {

constexpr std::array<FlagName, 5> kServiceTypes = {{
    {"SERVICE_KERNEL_DRIVER", platform::SERVICE_KERNEL_DRIVER},
    {"SERVICE_FILE_SYSTEM_DRIVER", platform::SERVICE_FILE_SYSTEM_DRIVER},
    {"SERVICE_WIN32_OWN_PROCESS", platform::SERVICE_WIN32_OWN_PROCESS},
    {"SERVICE_WIN32_SHARE_PROCESS", platform::SERVICE_WIN32_SHARE_PROCESS},
    {"SERVICE_INTERACTIVE_PROCESS", platform::SERVICE_INTERACTIVE_PROCESS},
}};
constexpr std::array<FlagName, 5> kStartTypes = {{
    {"SERVICE_BOOT_START", platform::SERVICE_BOOT_START},
    {"SERVICE_SYSTEM_START", platform::SERVICE_SYSTEM_START},
    {"SERVICE_AUTO_START", platform::SERVICE_AUTO_START},
    {"SERVICE_DEMAND_START", platform::SERVICE_DEMAND_START},
    {"SERVICE_DISABLED", platform::SERVICE_DISABLED},
}};
constexpr std::array<FlagName, 4> kErrorControls = {{
    {"SERVICE_ERROR_IGNORE", platform::SERVICE_ERROR_IGNORE},
    {"SERVICE_ERROR_NORMAL", platform::SERVICE_ERROR_NORMAL},
    {"SERVICE_ERROR_SEVERE", platform::SERVICE_ERROR_SEVERE},
    {"SERVICE_ERROR_CRITICAL", platform::SERVICE_ERROR_CRITICAL},
}};
constexpr std::array<FlagName, 6> kEventTypes = {{
    {"EVENTLOG_SUCCESS", 0x0},
    {"EVENTLOG_ERROR_TYPE", 0x1},
    {"EVENTLOG_WARNING_TYPE", 0x2},
    {"EVENTLOG_INFORMATION_TYPE", 0x4},
    {"EVENTLOG_AUDIT_SUCCESS", 0x8},
    {"EVENTLOG_AUDIT_FAILURE", 0x10},
}};

// The fields of a comma list, each trimmed; missing fields read as empty.
template <size_t N>
std::array<std::string, N> ReadFields(std::string_view value) {
  std::array<std::string, N> fields;
  const std::string text(value);
  const char* rest = text.c_str();
  for (std::string& field : fields) {
    if (!rest) break;
    rest = NextField(rest, field);
    field = std::string(TrimAnsi(field));
  }
  return fields;
}

// An empty field keeps the default; false for a name outside the table, with the field kept.
template <size_t N>
bool ReadNumberField(const std::string& field, const std::array<FlagName, N>& table,
                     uint32_t& dwValue, std::string& invalidField) {
  if (field.empty()) return true;
  const uint32_t dwParsed = ParseFlags(field, table);
  if (dwParsed == kUnknownFlags) {
    invalidField = field;
    return false;
  }
  dwValue = dwParsed;
  return true;
}

}  // namespace

bool ParseServiceEntry(std::string_view serviceName, std::string_view value, ServiceEntry& entry,
                       std::string& invalidField) {
  const auto fields = ReadFields<10>(value);
  entry.displayName = fields[0].empty() ? std::string(serviceName) : fields[0];
  if (!ReadNumberField(fields[1], kServiceTypes, entry.dwServiceType, invalidField) ||
      !ReadNumberField(fields[2], kStartTypes, entry.dwStartType, invalidField) ||
      !ReadNumberField(fields[3], kErrorControls, entry.dwErrorControl, invalidField))
    return false;
  entry.loadOrderGroup = fields[4];
  entry.dependencies = SplitDependencies(fields[5]);
  entry.account = fields[6];
  if (!entry.account.empty() && entry.account.find('\\') == std::string::npos)
    entry.account = ".\\" + entry.account;
  entry.password = fields[7];
  entry.eventSource = fields[8].empty() ? std::string(serviceName) : fields[8];
  entry.arguments = fields[9];
  return true;
}

bool ParseEventSourceEntry(std::string_view value, EventSourceEntry& entry,
                           std::string& invalidField) {
  const auto fields = ReadFields<6>(value);
  entry.logName = fields[0];
  if (!ReadNumberField(fields[1], kEventTypes, entry.dwTypesSupported, invalidField)) return false;
  entry.eventMessageFile = fields[2];
  entry.parameterMessageFile = fields[3];
  entry.categoryMessageFile = fields[4];
  entry.dwCategoryCount = static_cast<uint32_t>(ParseDecimal(fields[5]));
  return true;
}

bool IsLocalAccount(std::string_view account) {
  return account.size() > 2 && account.substr(0, 2) == ".\\";
}

std::string LocalAccountName(std::string_view account) {
  return std::string(IsLocalAccount(account) ? account.substr(2) : account);
}

std::string ServiceCommandLine(std::string_view programPath, std::string_view arguments,
                               uint32_t dwServiceType) {
  std::string program(programPath);
  const bool bQuoted = !program.empty() && program.front() == '"';
  if (dwServiceType != platform::SERVICE_KERNEL_DRIVER && !bQuoted &&
      program.find(' ') != std::string::npos)
    program = '"' + program + '"';
  std::string line = program + " " + std::string(arguments);
  return std::string(TrimAnsiRight(line));
}

std::vector<std::string> SplitDependencies(std::string_view text) {
  std::vector<std::string> names;
  size_t nStart = 0;
  while (nStart <= text.size()) {
    size_t nEnd = text.find(';', nStart);
    if (nEnd == std::string_view::npos) nEnd = text.size();
    const std::string_view name = TrimAnsi(text.substr(nStart, nEnd - nStart));
    if (name.empty()) break;
    names.emplace_back(name);
    nStart = nEnd + 1;
  }
  return names;
}

}  // namespace tarvium
