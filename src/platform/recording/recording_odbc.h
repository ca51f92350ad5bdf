// The ODBC installer of a recorded run: installed drivers, data sources and their settings are
// read from the wrapped machine; every installation, removal and write is logged as an OdbcChange
// and answered as a success. Where the installer hands back a path, the path the wrapped
// installer names when asked (ODBC_INSTALL_INQUIRY) is given, or the system directory.
#pragma once
#include <string>

#include "platform/odbc_installer.h"
#include "platform/recording/machine_change.h"

namespace platform {

class RecordingOdbc final : public OdbcInstaller {
 public:
  // systemDir: where drivers go without a path of their own ("C:\Windows\System32").
  RecordingOdbc(OdbcInstaller& wrapped, std::string systemDir, ChangeLog& changes)
      : m_wrapped(wrapped), m_systemDir(std::move(systemDir)), m_changes(changes) {}

  uint32_t Load() override { return m_wrapped.Load(); }
  uint32_t GetLibraryVersion(uint64_t& qwFileVersion) override {
    return m_wrapped.GetLibraryVersion(qwFileVersion);
  }
  bool HasEntry(const char* name) override { return m_wrapped.HasEntry(name); }
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
    return m_wrapped.SQLReadFileDSN(lpszFileName, lpszAppName, lpszKeyName, lpszString, cbString,
                                    pcbString);
  }
  int16_t SQLInstallerError(uint16_t iError, uint32_t* pfErrorCode, char* lpszErrorMsg,
                            uint16_t cbErrorMsgMax, uint16_t* pcbErrorMsg) override {
    return m_wrapped.SQLInstallerError(iError, pfErrorCode, lpszErrorMsg, cbErrorMsgMax,
                                       pcbErrorMsg);
  }
  bool SQLGetConfigMode(uint16_t* pwConfigMode) override {
    return m_wrapped.SQLGetConfigMode(pwConfigMode);
  }
  bool SQLSetConfigMode(uint16_t wConfigMode) override {
    return m_wrapped.SQLSetConfigMode(wConfigMode);
  }
  bool SQLWritePrivateProfileString(const char* lpszSection, const char* lpszEntry,
                                    const char* lpszString, const char* lpszFilename) override;
  int SQLGetPrivateProfileString(const char* lpszSection, const char* lpszEntry,
                                 const char* lpszDefault, char* lpszRetBuffer, int cbRetBuffer,
                                 const char* lpszFilename) override {
    return m_wrapped.SQLGetPrivateProfileString(lpszSection, lpszEntry, lpszDefault, lpszRetBuffer,
                                                cbRetBuffer, lpszFilename);
  }
  bool SQLGetInstalledDrivers(char* lpszBuf, uint16_t cbBufMax, uint16_t* pcbBufOut) override {
    return m_wrapped.SQLGetInstalledDrivers(lpszBuf, cbBufMax, pcbBufOut);
  }
  bool SQLValidDSN(const char* lpszDSN) override { return m_wrapped.SQLValidDSN(lpszDSN); }
  bool SQLWriteDSNToIni(const char* lpszDSN, const char* lpszDriver) override;
  bool SQLRemoveDSNFromIni(const char* lpszDSN) override;

 private:
  bool Record(const char* target, std::string detail);
  // Answers a path as the installer does: cut to the buffer, its full length in *pcbOut.
  bool GivePath(const std::string& path, char* pBuffer, uint16_t cbMax, uint16_t* pcbOut);

  OdbcInstaller& m_wrapped;
  std::string m_systemDir;
  ChangeLog& m_changes;
};

}  // namespace platform
