// Event-log sources: the source's key below its log with the values of its entry, and the log's
// "Sources" list, which names each source once (compared without regard to case).
#include <algorithm>

#include "engine/inf_values.h"
#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "engine/show_message.h"
#include "platform/ansi_case.h"
#include "platform/multi_sz.h"
#include "platform/win_error.h"
#include "sysconfig/service_entries.h"
#include "sysconfig/services.h"

namespace tarvium {
namespace {

using platform::RegRoot;
using platform::RegValue;

constexpr const char* kEventLogKey = "System\\CurrentControlSet\\Services\\EventLog\\";
constexpr size_t kSourcesMaxBytes = 64768;
constexpr size_t kEntrySize = 256;

RegValue TextValue(uint32_t dwType, const std::string& text) {
  RegValue value{dwType, std::vector<uint8_t>(text.begin(), text.end())};
  value.data.push_back(0);
  return value;
}

RegValue DwordValue(uint32_t dw) {
  RegValue value{platform::REG_DWORD, {}};
  for (int i = 0; i < 4; ++i) value.data.push_back(static_cast<uint8_t>(dw >> (8 * i)));
  return value;
}

// The values in the order of the layout; message files and the category count only when given.
std::vector<std::pair<const char*, RegValue>> SourceValues(const EventSourceEntry& entry) {
  std::vector<std::pair<const char*, RegValue>> values;
  values.emplace_back("TypesSupported", DwordValue(entry.dwTypesSupported));
  const std::pair<const char*, const std::string*> files[] = {
      {"EventMessageFile", &entry.eventMessageFile},
      {"ParameterMessageFile", &entry.parameterMessageFile},
      {"CategoryMessageFile", &entry.categoryMessageFile}};
  for (const auto& [pszName, pText] : files)
    if (!pText->empty()) values.emplace_back(pszName, TextValue(platform::REG_EXPAND_SZ, *pText));
  if (entry.dwCategoryCount != 0)
    values.emplace_back("CategoryCount", DwordValue(entry.dwCategoryCount));
  return values;
}

std::vector<std::string> ReadSources(platform::Registry& reg, const std::string& logKey) {
  RegValue value;
  if (reg.QueryValue(RegRoot::LocalMachine, logKey, "Sources", value) != platform::ERROR_SUCCESS)
    return {};
  return platform::DecodeMultiSz(value.data, kSourcesMaxBytes);
}

uint32_t WriteSources(platform::Registry& reg, const std::string& logKey,
                      const std::vector<std::string>& sources) {
  return reg.SetValue(RegRoot::LocalMachine, logKey, "Sources",
                      RegValue{platform::REG_MULTI_SZ, platform::EncodeMultiSz(sources)});
}

bool SameName(const std::string& a, const std::string& b) {
  return platform::AnsiEqualNoCase(a, b);
}

uint32_t AddSource(platform::Registry& reg, const std::string& sourceName,
                   const EventSourceEntry& entry) {
  const std::string logKey = kEventLogKey + entry.logName;
  const std::string sourceKey = logKey + "\\" + sourceName;
  uint32_t err = reg.CreateKey(RegRoot::LocalMachine, sourceKey);
  for (const auto& [pszName, value] : SourceValues(entry)) {
    if (err != platform::ERROR_SUCCESS) return err;
    err = reg.SetValue(RegRoot::LocalMachine, sourceKey, pszName, value);
  }
  if (err != platform::ERROR_SUCCESS) return err;
  std::vector<std::string> sources = ReadSources(reg, logKey);
  if (std::any_of(sources.begin(), sources.end(),
                  [&](const std::string& name) { return SameName(name, sourceName); }))
    return platform::ERROR_SUCCESS;
  sources.push_back(sourceName);
  return WriteSources(reg, logKey, sources);
}

uint32_t RemoveSource(platform::Registry& reg, const std::string& sourceName,
                      const EventSourceEntry& entry) {
  const std::string logKey = kEventLogKey + entry.logName;
  reg.DeleteTree(RegRoot::LocalMachine, logKey + "\\" + sourceName);
  std::vector<std::string> sources = ReadSources(reg, logKey);
  const auto last = std::find_if(sources.rbegin(), sources.rend(), [&](const std::string& name) {
    return SameName(name, sourceName);
  });
  if (last != sources.rend()) sources.erase(std::next(last).base());
  // An emptied list goes with its last source: the log's readers take no list as an empty one,
  // and a removal leaves the log as it found it.
  if (sources.empty()) {
    const uint32_t err = reg.DeleteValue(RegRoot::LocalMachine, logKey, "Sources");
    return err == platform::ERROR_FILE_NOT_FOUND ? platform::ERROR_SUCCESS : err;
  }
  return WriteSources(reg, logKey, sources);
}

}  // namespace

std::string ReadSystemEntry(SetupRun& run, const char* pszSection, const std::string& key) {
  if (!run.inf) return "";
  std::string value = ReadTextKey(*run.inf, pszSection, key, kEntrySize);
  ReplaceVariables(run, value);
  return value.substr(0, kEntrySize - 1);
}

bool InstallEventSource(SetupRun& run, const std::string& sourceName, bool bInstall) {
  const std::string value = ReadSystemEntry(run, "EventSources", sourceName);
  if (value.empty()) return true;
  EventSourceEntry entry;
  std::string invalidField;
  if (!ParseEventSourceEntry(value, entry, invalidField)) {
    ShowMessage(run, 5530, invalidField);
    return false;
  }
  platform::Registry& reg = run.machine.Reg();
  const uint32_t err =
      bInstall ? AddSource(reg, sourceName, entry) : RemoveSource(reg, sourceName, entry);
  return err == platform::ERROR_SUCCESS;
}

}  // namespace tarvium
