// The ODBC installer of the real Windows: odbccp32.dll, loaded when a setup first needs it and
// each entry point found by name, so that a system without the library, or with one that lacks
// an entry, still runs every other part of a setup. A missing entry point fails its call as the
// library would fail it, and SQLInstallerError then reports ERROR_PROC_NOT_FOUND. A library that
// exports the file data source functions without implementing them (Wine's: they fail with
// ERROR_CALL_NOT_IMPLEMENTED and queue no error) has the .dsn file written and read here, as a
// profile file, which is what Windows' library does with it.
#pragma once
#include <string>

#include "platform/odbc_installer.h"

namespace platform::win32 {

class Win32OdbcInstaller final : public OdbcInstaller {
 public:
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
  // The entry point, or null after noting ERROR_PROC_NOT_FOUND for SQLInstallerError. Every
  // call starts here, so it also forgets the error the previous call noted.
  void* Entry(const char* name);
  // Notes the one error of a call answered here; false, the call's result.
  bool OwnError(uint32_t dwCode, const char* pszText);
  // Whether the call that just failed was one the library does not implement.
  bool NotImplemented();

  void* hLibrary_ = nullptr;
  // The error of the last call when it was answered here (0: the library's queue holds it).
  uint32_t dwOwnError_ = 0;
  const char* pszOwnErrorText_ = "";
};

}  // namespace platform::win32
