// The Win.ini profile functions over any file system and registry (the emulated machine's, and the
// overlays of a recorded run on either machine), with the printer device settings kept where
// Windows NT keeps them. Windows maps these parts of WIN.INI to the current user's registry
// (IniFileMapping): the sections [devices] and [PrinterPorts] to the values of
// "Software\Microsoft\Windows NT\CurrentVersion\Devices" and "...\PrinterPorts", and the entry
// "device" of [windows] (the default printer) to the value "Device" of "...\Windows". The spooler
// writes those values and the engine reads and writes WIN.INI: both meet in the registry, and a
// printer that comes and goes leaves WIN.INI untouched. Every other section and key stays in the
// file.
#pragma once
#include <string>

#include "platform/ini_profile.h"
#include "platform/spooler_store.h"

namespace platform {

class DeviceSettingsProfile final : public Profile {
 public:
  DeviceSettingsProfile(FileSystem& files, const std::string& windowsDir, Registry& registry);

  std::string GetPrivateProfileString(const char* section, const char* key,
                                      const char* defaultValue,
                                      const std::string& fileName) override;
  int32_t GetPrivateProfileInt(const char* section, const char* key, int32_t nDefault,
                               const std::string& fileName) override;
  uint32_t WritePrivateProfileString(const char* section, const char* key, const char* value,
                                     const std::string& fileName) override;
  std::string GetPrivateProfileSection(const char* section, const std::string& fileName) override;
  uint32_t WritePrivateProfileSection(const char* section, std::string_view entries,
                                      const std::string& fileName) override;
  std::string GetProfileString(const char* section, const char* key,
                               const char* defaultValue) override;
  int32_t GetProfileInt(const char* section, const char* key, int32_t nDefault) override;
  uint32_t WriteProfileString(const char* section, const char* key, const char* value) override;

 private:
  bool IsWinIni(const std::string& fileName) const;
  // The user's key that holds the section (and key) of Win.ini; empty when it stays in the file.
  // [devices] and [PrinterPorts] are mapped whole, [windows] only for its key "device".
  std::string MappedKey(const char* section, const char* key) const;
  uint32_t ClearValues(const std::string& keyPath);

  IniProfile file_;
  SpoolerStore store_;
  std::string windowsDir_;
};

}  // namespace platform
