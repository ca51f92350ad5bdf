// Reading and writing the service values. Dependencies are one list in ServiceConfig (a group
// with a '+' first) and two values in the registry, as Windows splits them.
#include "platform/emulated/services/service_registry.h"

#include <algorithm>

#include "platform/ansi_case.h"
#include "platform/multi_sz.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

constexpr RegRoot kRoot = RegRoot::LocalMachine;

RegValue DwordValue(uint32_t dw) {
  RegValue value{REG_DWORD, {}};
  for (int i = 0; i < 4; ++i) value.data.push_back(static_cast<uint8_t>(dw >> (8 * i)));
  return value;
}

RegValue StringValue(const std::string& text, uint32_t dwType = REG_SZ) {
  RegValue value{dwType, std::vector<uint8_t>(text.begin(), text.end())};
  value.data.push_back(0);
  return value;
}

RegValue MultiStringValue(const std::vector<std::string>& strings) {
  return RegValue{REG_MULTI_SZ, EncodeMultiSz(strings)};
}

bool QueryDword(Registry& registry, const std::string& key, const char* pszName, uint32_t& dw) {
  RegValue value;
  if (registry.QueryValue(kRoot, key, pszName, value) != ERROR_SUCCESS ||
      value.dwType != REG_DWORD || value.data.size() < 4)
    return false;
  dw = 0;
  for (int i = 3; i >= 0; --i) dw = (dw << 8) | value.data[static_cast<size_t>(i)];
  return true;
}

bool QueryString(Registry& registry, const std::string& key, const char* pszName,
                 std::string& text) {
  RegValue value;
  if (registry.QueryValue(kRoot, key, pszName, value) != ERROR_SUCCESS ||
      (value.dwType != REG_SZ && value.dwType != REG_EXPAND_SZ))
    return false;
  text.assign(value.data.begin(), value.data.end());
  text = text.substr(0, text.find('\0'));
  return true;
}

std::vector<std::string> QueryMultiString(Registry& registry, const std::string& key,
                                          const char* pszName) {
  std::vector<std::string> strings;
  RegValue value;
  if (registry.QueryValue(kRoot, key, pszName, value) != ERROR_SUCCESS ||
      (value.dwType != REG_MULTI_SZ && value.dwType != REG_SZ))
    return strings;
  strings = DecodeMultiSz(value.data);
  return strings;
}

// Sets the value, or removes it when it would be empty.
uint32_t SetOrRemove(Registry& registry, const std::string& key, const char* pszName, bool bEmpty,
                     const RegValue& value) {
  if (!bEmpty) return registry.SetValue(kRoot, key, pszName, value);
  const uint32_t err = registry.DeleteValue(kRoot, key, pszName);
  return err == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : err;
}

}  // namespace

std::string ServiceKeyOf(const std::string& name) {
  return std::string(kServicesKey) + "\\" + name;
}

bool IsService(Registry& registry, const std::string& name) {
  uint32_t dwType = 0;
  return CheckServiceName(name) == ERROR_SUCCESS &&
         QueryDword(registry, ServiceKeyOf(name), "Type", dwType);
}

bool IsMarkedForDelete(Registry& registry, const std::string& name) {
  uint32_t dwFlag = 0;
  return QueryDword(registry, ServiceKeyOf(name), "DeleteFlag", dwFlag) && dwFlag != 0;
}

std::vector<std::string> ServiceNames(Registry& registry) {
  std::vector<std::string> names;
  std::string name;
  for (uint32_t i = 0; registry.EnumKey(kRoot, kServicesKey, i, name) == ERROR_SUCCESS; ++i)
    if (IsService(registry, name)) names.push_back(name);
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return AnsiCompareNoCase(a, b) < 0; });
  return names;
}

uint32_t ReadServiceConfig(Registry& registry, const std::string& name, ServiceConfig& config) {
  const std::string key = ServiceKeyOf(name);
  config = ServiceConfig();
  if (CheckServiceName(name) != ERROR_SUCCESS ||
      !QueryDword(registry, key, "Type", config.dwServiceType))
    return ERROR_SERVICE_DOES_NOT_EXIST;
  QueryDword(registry, key, "Start", config.dwStartType);
  QueryDword(registry, key, "ErrorControl", config.dwErrorControl);
  QueryString(registry, key, "ImagePath", config.binaryPathName);
  QueryString(registry, key, "Group", config.loadOrderGroup);
  config.dependencies = QueryMultiString(registry, key, "DependOnService");
  for (const std::string& group : QueryMultiString(registry, key, "DependOnGroup"))
    config.dependencies.push_back("+" + group);
  if (!QueryString(registry, key, "ObjectName", config.serviceStartName) &&
      !IsDriver(config.dwServiceType))
    config.serviceStartName = "LocalSystem";
  if (!QueryString(registry, key, "DisplayName", config.displayName) || config.displayName.empty())
    config.displayName = name;
  return ERROR_SUCCESS;
}

uint32_t WriteServiceConfig(Registry& registry, const std::string& name,
                            const ServiceConfig& config) {
  const std::string key = ServiceKeyOf(name);
  std::vector<std::string> services, groups;
  for (const std::string& dependency : config.dependencies) {
    if (!dependency.empty() && dependency.front() == '+')
      groups.push_back(dependency.substr(1));
    else
      services.push_back(dependency);
  }
  std::string account = config.serviceStartName;
  if (account.empty() && !IsDriver(config.dwServiceType)) account = "LocalSystem";
  return registry.WriteAsOne([&]() -> uint32_t {
    if (const uint32_t err = registry.CreateKey(kRoot, key)) return err;
    const struct {
      const char* pszName;
      bool bEmpty;
      RegValue value;
    } values[] = {
        {"Type", false, DwordValue(config.dwServiceType)},
        {"Start", false, DwordValue(config.dwStartType)},
        {"ErrorControl", false, DwordValue(config.dwErrorControl)},
        {"ImagePath", config.binaryPathName.empty(),
         StringValue(config.binaryPathName, REG_EXPAND_SZ)},
        {"Group", config.loadOrderGroup.empty(), StringValue(config.loadOrderGroup)},
        {"DependOnService", services.empty(), MultiStringValue(services)},
        {"DependOnGroup", groups.empty(), MultiStringValue(groups)},
        {"ObjectName", account.empty(), StringValue(account)},
        {"DisplayName", config.displayName.empty(), StringValue(config.displayName)},
    };
    for (const auto& entry : values)
      if (const uint32_t err = SetOrRemove(registry, key, entry.pszName, entry.bEmpty, entry.value))
        return err;
    return ERROR_SUCCESS;
  });
}

uint32_t MarkForDelete(Registry& registry, const std::string& name) {
  return registry.SetValue(kRoot, ServiceKeyOf(name), "DeleteFlag", DwordValue(1));
}

uint32_t RemoveService(Registry& registry, const std::string& name) {
  const std::string key = ServiceKeyOf(name);
  const uint32_t err = registry.DeleteTree(kRoot, key);
  if (err != ERROR_ACCESS_DENIED) return err;
  return registry.WriteAsOne([&]() -> uint32_t {
    for (const char* pszName :
         {"Type", "Start", "ErrorControl", "ImagePath", "Group", "DependOnService", "DependOnGroup",
          "ObjectName", "DisplayName", "DeleteFlag"})
      if (const uint32_t errValue = SetOrRemove(registry, key, pszName, true, RegValue()))
        return errValue;
    return ERROR_SUCCESS;
  });
}

uint32_t CheckServiceConfig(const ServiceConfig& config) {
  const uint32_t dwType = config.dwServiceType;
  const uint32_t dwBase = dwType & ~SERVICE_INTERACTIVE_PROCESS;
  const bool bWin32 = dwBase == SERVICE_WIN32_OWN_PROCESS || dwBase == SERVICE_WIN32_SHARE_PROCESS;
  const bool bDriver = dwType == SERVICE_KERNEL_DRIVER || dwType == SERVICE_FILE_SYSTEM_DRIVER;
  if (!bWin32 && !bDriver) return ERROR_INVALID_PARAMETER;
  if (config.dwStartType > SERVICE_DISABLED) return ERROR_INVALID_PARAMETER;
  if (!bDriver && config.dwStartType < SERVICE_AUTO_START) return ERROR_INVALID_PARAMETER;
  if (config.dwErrorControl > SERVICE_ERROR_CRITICAL) return ERROR_INVALID_PARAMETER;
  if (config.binaryPathName.empty()) return ERROR_INVALID_PARAMETER;
  // An interactive service must run as LocalSystem.
  if ((dwType & SERVICE_INTERACTIVE_PROCESS) && !config.serviceStartName.empty() &&
      !AnsiEqualNoCase(config.serviceStartName, "LocalSystem") &&
      !AnsiEqualNoCase(config.serviceStartName, ".\\LocalSystem"))
    return ERROR_INVALID_PARAMETER;
  for (const std::string& dependency : config.dependencies)
    if (dependency.empty() || dependency == "+") return ERROR_INVALID_PARAMETER;
  return ERROR_SUCCESS;
}

uint32_t CheckServiceName(const std::string& name) {
  if (name.empty() || name.size() > 256 || name.find_first_of("\\/") != std::string::npos)
    return ERROR_INVALID_NAME;
  return ERROR_SUCCESS;
}

}  // namespace platform::emulated
