// Win.ini calls are routed by section and key: the mapped device settings to the registry, the
// rest to the INI file. The private profile functions route too when they name Win.ini itself.
#include "platform/device_settings_profile.h"

#include <cstdlib>

#include "platform/ansi_case.h"
#include "platform/win_error.h"

namespace platform {
namespace {

std::string TrimTrailingBlanks(const char* text) {
  std::string trimmed = text ? text : "";
  while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '\t')) trimmed.pop_back();
  return trimmed;
}

}  // namespace

DeviceSettingsProfile::DeviceSettingsProfile(FileSystem& files, const std::string& windowsDir,
                                             Registry& registry)
    : file_(files, windowsDir), store_(registry), windowsDir_(windowsDir) {}

bool DeviceSettingsProfile::IsWinIni(const std::string& fileName) const {
  if (AnsiEqualNoCase(fileName, "win.ini")) return true;
  return AnsiEqualNoCase(fileName, windowsDir_ + "\\win.ini");
}

std::string DeviceSettingsProfile::MappedKey(const char* section, const char* key) const {
  if (section == nullptr) return "";
  if (AnsiEqualNoCase(section, "devices")) return kDevicesKey;
  if (AnsiEqualNoCase(section, "PrinterPorts")) return kPrinterPortsKey;
  if (key != nullptr && AnsiEqualNoCase(section, "windows") && AnsiEqualNoCase(key, "device"))
    return kWindowsKey;
  return "";
}

uint32_t DeviceSettingsProfile::ClearValues(const std::string& keyPath) {
  for (const std::string& name : store_.ValueNames(RegRoot::CurrentUser, keyPath))
    if (uint32_t err = store_.Reg().DeleteValue(RegRoot::CurrentUser, keyPath, name)) return err;
  return ERROR_SUCCESS;
}

std::string DeviceSettingsProfile::GetPrivateProfileString(const char* section, const char* key,
                                                           const char* defaultValue,
                                                           const std::string& fileName) {
  const std::string keyPath = IsWinIni(fileName) ? MappedKey(section, key) : "";
  if (keyPath.empty()) return file_.GetPrivateProfileString(section, key, defaultValue, fileName);
  if (key == nullptr) {
    std::string list;
    for (const std::string& name : store_.ValueNames(RegRoot::CurrentUser, keyPath))
      list += name + '\0';
    return list;
  }
  RegValue value;
  if (store_.Reg().QueryValue(RegRoot::CurrentUser, keyPath, key, value) != ERROR_SUCCESS)
    return TrimTrailingBlanks(defaultValue);
  return store_.Text(RegRoot::CurrentUser, keyPath, key);
}

int32_t DeviceSettingsProfile::GetPrivateProfileInt(const char* section, const char* key,
                                                    int32_t nDefault, const std::string& fileName) {
  if (!IsWinIni(fileName) || MappedKey(section, key).empty())
    return file_.GetPrivateProfileInt(section, key, nDefault, fileName);
  const std::string value = GetPrivateProfileString(section, key, "", fileName);
  return value.empty() ? nDefault
                       : static_cast<int32_t>(
                             static_cast<uint32_t>(std::strtoll(value.c_str(), nullptr, 10)));
}

uint32_t DeviceSettingsProfile::WritePrivateProfileString(const char* section, const char* key,
                                                          const char* value,
                                                          const std::string& fileName) {
  const std::string keyPath = IsWinIni(fileName) ? MappedKey(section, key) : "";
  if (keyPath.empty()) return file_.WritePrivateProfileString(section, key, value, fileName);
  if (key == nullptr) return ClearValues(keyPath);
  if (value == nullptr) {
    const uint32_t err = store_.Reg().DeleteValue(RegRoot::CurrentUser, keyPath, key);
    return err == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : err;
  }
  if (uint32_t err = store_.Reg().CreateKey(RegRoot::CurrentUser, keyPath)) return err;
  return store_.SetText(RegRoot::CurrentUser, keyPath, key, value);
}

std::string DeviceSettingsProfile::GetPrivateProfileSection(const char* section,
                                                            const std::string& fileName) {
  const std::string keyPath = IsWinIni(fileName) ? MappedKey(section, nullptr) : "";
  if (keyPath.empty()) return file_.GetPrivateProfileSection(section, fileName);
  std::string list;
  for (const std::string& name : store_.ValueNames(RegRoot::CurrentUser, keyPath))
    list += name + "=" + store_.Text(RegRoot::CurrentUser, keyPath, name) + '\0';
  return list;
}

uint32_t DeviceSettingsProfile::WritePrivateProfileSection(const char* section,
                                                           std::string_view entries,
                                                           const std::string& fileName) {
  const std::string keyPath = IsWinIni(fileName) ? MappedKey(section, nullptr) : "";
  if (keyPath.empty()) return file_.WritePrivateProfileSection(section, entries, fileName);
  return store_.Reg().WriteAsOne([&]() -> uint32_t {
    if (uint32_t err = store_.Reg().CreateKey(RegRoot::CurrentUser, keyPath)) return err;
    if (uint32_t err = ClearValues(keyPath)) return err;
    for (const std::string& entry : SplitProfileList(entries)) {
      const size_t nEquals = entry.find('=');
      if (nEquals == std::string::npos) continue;
      if (uint32_t err = store_.SetText(RegRoot::CurrentUser, keyPath, entry.substr(0, nEquals),
                                        entry.substr(nEquals + 1)))
        return err;
    }
    return ERROR_SUCCESS;
  });
}

std::string DeviceSettingsProfile::GetProfileString(const char* section, const char* key,
                                                    const char* defaultValue) {
  return GetPrivateProfileString(section, key, defaultValue, "win.ini");
}

int32_t DeviceSettingsProfile::GetProfileInt(const char* section, const char* key,
                                             int32_t nDefault) {
  return GetPrivateProfileInt(section, key, nDefault, "win.ini");
}

uint32_t DeviceSettingsProfile::WriteProfileString(const char* section, const char* key,
                                                   const char* value) {
  return WritePrivateProfileString(section, key, value, "win.ini");
}

}  // namespace platform
