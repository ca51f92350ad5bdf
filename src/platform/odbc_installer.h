// The ODBC installer library (ODBCCP32.DLL) as a setup uses it: the driver manager's usage count,
// drivers and translators, data sources, file data sources and the installer's own profile
// functions over ODBCINST.INI and ODBC.INI. The calls keep the library's own shape (8-bit text,
// caller's buffers with their lengths, BOOL results and the installer error queue that
// SQLInstallerError reads), because setups and the library's conformance cases are written
// against that shape: a buffer that is too short or a null argument is an answer of its own.
// A null `const char*` stands for NULL; attribute lists are "key=value" strings each ended by a
// zero byte, the whole ended by one more.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class Profile;
class Registry;

// Installer error codes (ODBC_ERROR_*), as SQLInstallerError reports them.
inline constexpr uint32_t ODBC_ERROR_GENERAL_ERR = 1;
inline constexpr uint32_t ODBC_ERROR_INVALID_BUFF_LEN = 2;
inline constexpr uint32_t ODBC_ERROR_INVALID_HWND = 3;
inline constexpr uint32_t ODBC_ERROR_INVALID_STR = 4;
inline constexpr uint32_t ODBC_ERROR_INVALID_REQUEST_TYPE = 5;
inline constexpr uint32_t ODBC_ERROR_COMPONENT_NOT_FOUND = 6;
inline constexpr uint32_t ODBC_ERROR_INVALID_NAME = 7;
inline constexpr uint32_t ODBC_ERROR_INVALID_KEYWORD_VALUE = 8;
inline constexpr uint32_t ODBC_ERROR_INVALID_DSN = 9;
inline constexpr uint32_t ODBC_ERROR_INVALID_INF = 10;
inline constexpr uint32_t ODBC_ERROR_REQUEST_FAILED = 11;
inline constexpr uint32_t ODBC_ERROR_INVALID_PATH = 12;
inline constexpr uint32_t ODBC_ERROR_LOAD_LIB_FAILED = 13;
inline constexpr uint32_t ODBC_ERROR_INVALID_PARAM_SEQUENCE = 14;
inline constexpr uint32_t ODBC_ERROR_USAGE_UPDATE_FAILED = 17;
inline constexpr uint32_t ODBC_ERROR_CREATE_DSN_FAILED = 18;
inline constexpr uint32_t ODBC_ERROR_WRITING_SYSINFO_FAILED = 19;
inline constexpr uint32_t ODBC_ERROR_REMOVE_DSN_FAILED = 20;
inline constexpr uint32_t ODBC_ERROR_OUTPUT_STRING_TRUNCATED = 22;

// SQLConfigDataSource requests.
inline constexpr uint16_t ODBC_ADD_DSN = 1;
inline constexpr uint16_t ODBC_CONFIG_DSN = 2;
inline constexpr uint16_t ODBC_REMOVE_DSN = 3;
inline constexpr uint16_t ODBC_ADD_SYS_DSN = 4;
inline constexpr uint16_t ODBC_CONFIG_SYS_DSN = 5;
inline constexpr uint16_t ODBC_REMOVE_SYS_DSN = 6;

// SQLInstallDriverEx and SQLInstallTranslatorEx requests.
inline constexpr uint16_t ODBC_INSTALL_INQUIRY = 1;
inline constexpr uint16_t ODBC_INSTALL_COMPLETE = 2;

// Configuration modes (SQLSetConfigMode): which ODBC.INI the profile functions use.
inline constexpr uint16_t ODBC_BOTH_DSN = 0;
inline constexpr uint16_t ODBC_USER_DSN = 1;
inline constexpr uint16_t ODBC_SYSTEM_DSN = 2;

// SQLInstallerError results (RETCODE).
inline constexpr int16_t SQL_SUCCESS = 0;
inline constexpr int16_t SQL_SUCCESS_WITH_INFO = 1;
inline constexpr int16_t SQL_ERROR = -1;
inline constexpr int16_t SQL_NO_DATA = 100;

class OdbcInstaller {
 public:
  virtual ~OdbcInstaller() = default;
  // The same installer over other stores (a recording machine's registry and INI files), for an
  // installer whose whole state lies in them; null for one whose state lies elsewhere (the
  // system's own library), whose calls a recording machine only records.
  virtual std::unique_ptr<OdbcInstaller> OverStores(Registry& registry, Profile& profile) {
    (void)registry, (void)profile;
    return nullptr;
  }

  // Loads the library: ERROR_SUCCESS, or the Windows error of loading it (ERROR_MOD_NOT_FOUND
  // when the machine has none). Loading again after a success does nothing.
  virtual uint32_t Load() = 0;
  // The loaded library's file version (major.minor in the high 32 bits, build.revision in the
  // low 32 bits, as VS_FIXEDFILEINFO holds it).
  virtual uint32_t GetLibraryVersion(uint64_t& qwFileVersion) = 0;
  // Whether the loaded library exports the entry point of that name.
  virtual bool HasEntry(const char* name) = 0;

  virtual bool SQLInstallDriverManager(char* lpszPath, uint16_t cbPathMax,
                                       uint16_t* pcbPathOut) = 0;
  virtual bool SQLRemoveDriverManager(uint32_t* lpdwUsageCount) = 0;
  virtual bool SQLInstallDriver(const char* lpszInfFile, const char* lpszDriver, char* lpszPath,
                                uint16_t cbPathMax, uint16_t* pcbPathOut) = 0;
  virtual bool SQLInstallDriverEx(const char* lpszDriver, const char* lpszPathIn, char* lpszPathOut,
                                  uint16_t cbPathOutMax, uint16_t* pcbPathOut, uint16_t fRequest,
                                  uint32_t* lpdwUsageCount) = 0;
  virtual bool SQLRemoveDriver(const char* lpszDriver, bool fRemoveDSN,
                               uint32_t* lpdwUsageCount) = 0;
  virtual bool SQLInstallTranslator(const char* lpszInfFile, const char* lpszTranslator,
                                    const char* lpszPathIn, char* lpszPathOut,
                                    uint16_t cbPathOutMax, uint16_t* pcbPathOut, uint16_t fRequest,
                                    uint32_t* lpdwUsageCount) = 0;
  virtual bool SQLInstallTranslatorEx(const char* lpszTranslator, const char* lpszPathIn,
                                      char* lpszPathOut, uint16_t cbPathOutMax,
                                      uint16_t* pcbPathOut, uint16_t fRequest,
                                      uint32_t* lpdwUsageCount) = 0;
  virtual bool SQLRemoveTranslator(const char* lpszTranslator, uint32_t* lpdwUsageCount) = 0;
  // Without a window: the driver's setup routine asks nothing.
  virtual bool SQLConfigDataSource(uint16_t fRequest, const char* lpszDriver,
                                   const char* lpszAttributes) = 0;
  virtual bool SQLWriteFileDSN(const char* lpszFileName, const char* lpszAppName,
                               const char* lpszKeyName, const char* lpszString) = 0;
  virtual bool SQLReadFileDSN(const char* lpszFileName, const char* lpszAppName,
                              const char* lpszKeyName, char* lpszString, uint16_t cbString,
                              uint16_t* pcbString) = 0;
  // iError counts from 1; SQL_NO_DATA past the queued errors.
  virtual int16_t SQLInstallerError(uint16_t iError, uint32_t* pfErrorCode, char* lpszErrorMsg,
                                    uint16_t cbErrorMsgMax, uint16_t* pcbErrorMsg) = 0;

  virtual bool SQLGetConfigMode(uint16_t* pwConfigMode) = 0;
  virtual bool SQLSetConfigMode(uint16_t wConfigMode) = 0;
  virtual bool SQLWritePrivateProfileString(const char* lpszSection, const char* lpszEntry,
                                            const char* lpszString, const char* lpszFilename) = 0;
  virtual int SQLGetPrivateProfileString(const char* lpszSection, const char* lpszEntry,
                                         const char* lpszDefault, char* lpszRetBuffer,
                                         int cbRetBuffer, const char* lpszFilename) = 0;
  virtual bool SQLGetInstalledDrivers(char* lpszBuf, uint16_t cbBufMax, uint16_t* pcbBufOut) = 0;
  virtual bool SQLValidDSN(const char* lpszDSN) = 0;
  virtual bool SQLWriteDSNToIni(const char* lpszDSN, const char* lpszDriver) = 0;
  virtual bool SQLRemoveDSNFromIni(const char* lpszDSN) = 0;
};

}  // namespace platform
