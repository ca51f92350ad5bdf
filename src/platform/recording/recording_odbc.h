// The ODBC installer of a recorded run: every installation, removal and write is logged as an
// OdbcChange. When the wrapped installer can work over the run's own registry and INI files
// (OverStores), that copy of it does the call there, so that the run's keys, values and file data
// sources are the installer's own. Otherwise installed drivers, data sources and their settings
// are read from the wrapped machine and each change is answered as a success; where the installer
// hands back a path, the path the wrapped installer names when asked (ODBC_INSTALL_INQUIRY) is
// given, or the system directory.
#pragma once
#include <memory>
#include <string>

#include "platform/odbc_installer.h"
#include "platform/profile.h"
#include "platform/recording/machine_change.h"
#include "platform/registry.h"

namespace platform {

class RecordingOdbc final : public OdbcInstaller {
 public:
  // systemDir: where drivers go without a path of their own ("C:\Windows\System32"); registry
  // and profile: the run's own.
  RecordingOdbc(OdbcInstaller& wrapped, Registry& registry, Profile& profile, std::string systemDir,
                ChangeLog& changes)
      : m_wrapped(wrapped),
        m_over(wrapped.OverStores(registry, profile)),
        m_systemDir(std::move(systemDir)),
        m_changes(changes) {}

  uint32_t Load() override { return Reader().Load(); }
  uint32_t GetLibraryVersion(uint64_t& qwFileVersion) override {
    return Reader().GetLibraryVersion(qwFileVersion);
  }
  bool HasEntry(const char* name) override { return Reader().HasEntry(name); }
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
                      char* lpszString, uint16_t cbString, uint16_t* pcbString) override {
    return Reader().SQLReadFileDSN(lpszFileName, lpszAppName, lpszKeyName, lpszString, cbString,
                                   pcbString);
  }
  int16_t SQLInstallerError(uint16_t iError, uint32_t* pfErrorCode, char* lpszErrorMsg,
                            uint16_t cbErrorMsgMax, uint16_t* pcbErrorMsg) override {
    return Reader().SQLInstallerError(iError, pfErrorCode, lpszErrorMsg, cbErrorMsgMax,
                                      pcbErrorMsg);
  }
  bool SQLGetConfigMode(uint16_t* pwConfigMode) override {
    return Reader().SQLGetConfigMode(pwConfigMode);
  }
  bool SQLSetConfigMode(uint16_t wConfigMode) override {
    return Reader().SQLSetConfigMode(wConfigMode);
  }
  bool SQLWritePrivateProfileString(const char* lpszSection, const char* lpszEntry,
                                    const char* lpszString, const char* lpszFilename) override;
  int SQLGetPrivateProfileString(const char* lpszSection, const char* lpszEntry,
                                 const char* lpszDefault, char* lpszRetBuffer, int cbRetBuffer,
                                 const char* lpszFilename) override {
    return Reader().SQLGetPrivateProfileString(lpszSection, lpszEntry, lpszDefault, lpszRetBuffer,
                                               cbRetBuffer, lpszFilename);
  }
  bool SQLGetInstalledDrivers(char* lpszBuf, uint16_t cbBufMax, uint16_t* pcbBufOut) override {
    return Reader().SQLGetInstalledDrivers(lpszBuf, cbBufMax, pcbBufOut);
  }
  bool SQLValidDSN(const char* lpszDSN) override { return Reader().SQLValidDSN(lpszDSN); }
  bool SQLWriteDSNToIni(const char* lpszDSN, const char* lpszDriver) override;
  bool SQLRemoveDSNFromIni(const char* lpszDSN) override;

 private:
  void Record(const char* target, std::string detail);
  // Answers a path as the installer does: cut to the buffer, its full length in *pcbOut.
  bool GivePath(const std::string& path, char* pBuffer, uint16_t cbMax, uint16_t* pcbOut);

  OdbcInstaller& Reader() { return m_over ? *m_over : m_wrapped; }

  OdbcInstaller& m_wrapped;
  std::unique_ptr<OdbcInstaller> m_over;  // the wrapped installer over the run's stores, or null
  std::string m_systemDir;
  ChangeLog& m_changes;
};

}  // namespace platform
