// The ODBC installer of the emulated machine. It keeps everything where Windows keeps it, so that
// `winmachine diff` shows a setup's drivers and data sources and a removal can be checked:
//
//   HKLM\SOFTWARE\ODBC\ODBCINST.INI\ODBC Core          "UsageCount" of the driver manager
//   HKLM\SOFTWARE\ODBC\ODBCINST.INI\<driver>           "Driver", "Setup", "UsageCount", ...
//   HKLM\SOFTWARE\ODBC\ODBCINST.INI\ODBC Drivers       <driver>="Installed"
//   HKLM\SOFTWARE\ODBC\ODBCINST.INI\ODBC Translators   <translator>="Installed"
//   HKCU and HKLM \SOFTWARE\ODBC\ODBC.INI\<dsn>          a user or system data source
//   HKCU and HKLM \SOFTWARE\ODBC\ODBC.INI\ODBC Data Sources   <dsn>=<driver>
//   HKLM\SOFTWARE\ODBC\ODBC.INI\ODBC File DSN          "DefaultDSNDir"
//   file data sources                                   INI files (".dsn") on the machine's drives
//
// SQLConfigDataSource on Windows loads the driver's setup library (its "Setup" value) and calls
// its ConfigDSN. The emulated machine cannot run a Windows library, so every driver with a setup
// library gets the setup routine most drivers have: adding a data source writes its name, its
// driver and each given attribute as they stand; configuring writes the attributes over an
// existing one; removing deletes it. A driver without a "Setup" value cannot be configured
// (ODBC_ERROR_LOAD_LIB_FAILED), as on Windows. The library's presence and file version come from
// machine.ini ([ODBC] InstallerVersion), so that a machine without the library, or with an old
// one, can be set up for a test.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "platform/odbc_installer.h"
#include "platform/profile.h"
#include "platform/registry.h"

namespace platform::emulated {

class EmulatedOdbcInstaller final : public OdbcInstaller {
 public:
  // libraryVersion: "major.minor.build.revision", empty when the machine has no library;
  // systemDir: where drivers without an installation directory go.
  EmulatedOdbcInstaller(Registry& registry, Profile& profile, std::string libraryVersion,
                        std::string systemDir)
      : registry_(registry),
        profile_(profile),
        libraryVersion_(std::move(libraryVersion)),
        systemDir_(std::move(systemDir)) {}

  // The installer's keys of a new machine, which Windows owns as every key of a new machine.
  static std::string SeedRegistryText();
  // The default folder of file data sources of a new machine (in its Common Files folder).
  static std::string DataSourcesFolder();

  std::unique_ptr<OdbcInstaller> OverStores(Registry& registry, Profile& profile) override {
    return std::make_unique<EmulatedOdbcInstaller>(registry, profile, libraryVersion_, systemDir_);
  }
  uint32_t Load() override;
  uint32_t GetLibraryVersion(uint64_t& qwFileVersion) override;
  bool HasEntry(const char* name) override;

  bool SQLInstallDriverManager(char* lpszPath, uint16_t cbPathMax, uint16_t* pcbPathOut) override;
  bool SQLRemoveDriverManager(uint32_t* lpdwUsageCount) override;
  bool SQLInstallDriver(const char* lpszInfFile, const char* lpszDriver, char* lpszPath,
                        uint16_t cbPathMax, uint16_t* pcbPathOut) override;
  bool SQLInstallDriverEx(const char* lpszDriver, const char* lpszPathIn, char* lpszPathOut,
                          uint16_t cbPathOutMax, uint16_t* pcbPathOut, uint16_t fRequest,
                          uint32_t* lpdwUsageCount) override;
  bool SQLRemoveDriver(const char* lpszDriver, bool fRemoveDSN, uint32_t* lpdwUsageCount) override;
  bool SQLInstallTranslator(const char* lpszInfFile, const char* lpszTranslator,
                            const char* lpszPathIn, char* lpszPathOut, uint16_t cbPathOutMax,
                            uint16_t* pcbPathOut, uint16_t fRequest,
                            uint32_t* lpdwUsageCount) override;
  bool SQLInstallTranslatorEx(const char* lpszTranslator, const char* lpszPathIn, char* lpszPathOut,
                              uint16_t cbPathOutMax, uint16_t* pcbPathOut, uint16_t fRequest,
                              uint32_t* lpdwUsageCount) override;
  bool SQLRemoveTranslator(const char* lpszTranslator, uint32_t* lpdwUsageCount) override;
  bool SQLConfigDataSource(uint16_t fRequest, const char* lpszDriver,
                           const char* lpszAttributes) override;
  bool SQLWriteFileDSN(const char* lpszFileName, const char* lpszAppName, const char* lpszKeyName,
                       const char* lpszString) override;
  bool SQLReadFileDSN(const char* lpszFileName, const char* lpszAppName, const char* lpszKeyName,
                      char* lpszString, uint16_t cbString, uint16_t* pcbString) override;
  int16_t SQLInstallerError(uint16_t iError, uint32_t* pfErrorCode, char* lpszErrorMsg,
                            uint16_t cbErrorMsgMax, uint16_t* pcbErrorMsg) override;

  bool SQLGetConfigMode(uint16_t* pwConfigMode) override;
  bool SQLSetConfigMode(uint16_t wConfigMode) override;
  bool SQLWritePrivateProfileString(const char* lpszSection, const char* lpszEntry,
                                    const char* lpszString, const char* lpszFilename) override;
  int SQLGetPrivateProfileString(const char* lpszSection, const char* lpszEntry,
                                 const char* lpszDefault, char* lpszRetBuffer, int cbRetBuffer,
                                 const char* lpszFilename) override;
  bool SQLGetInstalledDrivers(char* lpszBuf, uint16_t cbBufMax, uint16_t* pcbBufOut) override;
  bool SQLValidDSN(const char* lpszDSN) override;
  bool SQLWriteDSNToIni(const char* lpszDSN, const char* lpszDriver) override;
  bool SQLRemoveDSNFromIni(const char* lpszDSN) override;

 private:
  // What distinguishes drivers from translators in ODBCINST.INI.
  struct ComponentKind {
    const char* listKey;      // "ODBC Drivers" or "ODBC Translators"
    const char* fileKeys[2];  // the keywords whose file names get the installation directory
  };
  bool InstallComponent(const ComponentKind& kind, const char* lpszAttributes,
                        const char* lpszPathIn, char* lpszPathOut, uint16_t cbPathOutMax,
                        uint16_t* pcbPathOut, uint16_t fRequest, uint32_t* lpdwUsageCount);
  bool RemoveComponent(const ComponentKind& kind, const char* lpszName, bool fRemoveDSN,
                       uint32_t* lpdwUsageCount);
  // The driver's own setup routine for one data-source request, in the request's mode.
  bool RunSetupRoutine(uint16_t fRequest, const std::string& driver, const char* lpszAttributes);
  void RemoveDataSourcesOf(const std::string& driver);
  // The hive and key of a profile section of ODBC.INI, ODBCINST.INI or another file.
  std::pair<RegRoot, std::string> ProfileKey(const std::string& section, const std::string& file);
  // The hive of ODBC.INI for the section in the current mode.
  RegRoot DataSourceRoot(const std::string& dsn);
  std::string DsnFilePath(const std::string& fileName);

  bool Fail(uint32_t dwCode, std::string message);
  void ClearErrors() { errors_.clear(); }

  Registry& registry_;
  Profile& profile_;
  std::string libraryVersion_;
  std::string systemDir_;
  uint16_t wConfigMode_ = ODBC_BOTH_DSN;
  std::vector<std::pair<uint32_t, std::string>> errors_;  // at most 8, oldest first
};

}  // namespace platform::emulated
