// The machine and its user as Windows describes them: names and security identifiers, the real
// version of the system (also without a compatibility manifest), the known folders in the ANSI
// code page, the user's language, locale and international settings, and the battery or lid
// that makes a laptop.
#pragma once
#include "platform/system_info.h"

namespace platform::win32 {

class Win32SystemInfo final : public SystemInfo {
 public:
  std::string ComputerName() override;
  std::string DomainName() override;
  std::string UserName() override;
  std::string UserSid() override;
  OsVersionInfo OsVersion() override;
  uint32_t LookupAccountSid(const std::string& sid, std::string& name,
                            std::string& domain) override;
  uint32_t LookupAccountName(const std::string& name, std::string& sid) override;
  uint32_t GetSpecialFolder(SpecialFolder folder, std::string& path) override;
  uint16_t UiLanguage() override;
  uint32_t DefaultLocale() override;
  InternationalSettings International() override;
  bool IsLaptop() override;
  uint32_t GetClrDirectory(std::string& directory) override;  // win32_clr_runtime.cpp
};

}  // namespace platform::win32
