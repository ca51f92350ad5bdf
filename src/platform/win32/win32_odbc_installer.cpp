// Each call looks its entry point up in the loaded library and passes the arguments through in the
// library's own types; the library keeps its error queue itself. Only a missing library or entry
// point, and file data sources that the library does not implement, are answered here.
#include "platform/win32/win32_odbc_installer.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win_error.h"

#include "platform/win32/windows_api.h"

namespace platform::win32 {
namespace {

constexpr const char kMissingEntryText[] = "The specified procedure could not be found.";
constexpr const char kInvalidPathText[] = "Invalid file path";
constexpr const char kInvalidBufferText[] = "Invalid buffer length";
constexpr const char kInvalidRequestText[] = "Invalid type of request";
constexpr const char kTruncatedText[] = "String truncated";

// CALL_ODBC(Type, name, fallback, args...): the entry point of that name called with the args,
// or fallback when the library lacks it.
#define CALL_ODBC(Type, name, fallback, ...)              \
  do {                                                    \
    auto* function = reinterpret_cast<Type>(Entry(name)); \
    return function ? function(__VA_ARGS__) : (fallback); \
  } while (false)

using PathOutFn = BOOL(WINAPI*)(LPSTR, WORD, WORD*);
using UsageFn = BOOL(WINAPI*)(LPDWORD);
using InstallDriverFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, LPSTR, WORD, WORD*);
using InstallExFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, LPSTR, WORD, WORD*, WORD, LPDWORD);
using RemoveDriverFn = BOOL(WINAPI*)(LPCSTR, BOOL, LPDWORD);
using InstallTranslatorFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, LPCSTR, LPSTR, WORD, WORD*, WORD,
                                          LPDWORD);
using RemoveTranslatorFn = BOOL(WINAPI*)(LPCSTR, LPDWORD);
using ConfigDataSourceFn = BOOL(WINAPI*)(HWND, WORD, LPCSTR, LPCSTR);
using WriteFileDsnFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, LPCSTR, LPCSTR);
using ReadFileDsnFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, LPCSTR, LPSTR, WORD, WORD*);
using InstallerErrorFn = SHORT(WINAPI*)(WORD, DWORD*, LPSTR, WORD, WORD*);
using GetConfigModeFn = BOOL(WINAPI*)(WORD*);
using SetConfigModeFn = BOOL(WINAPI*)(WORD);
using WriteProfileFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, LPCSTR, LPCSTR);
using GetProfileFn = int(WINAPI*)(LPCSTR, LPCSTR, LPCSTR, LPSTR, int, LPCSTR);
using ValidDsnFn = BOOL(WINAPI*)(LPCSTR);
using WriteDsnFn = BOOL(WINAPI*)(LPCSTR, LPCSTR);

// The library's DWORD and WORD out-parameters are the same widths as ours.
static_assert(sizeof(DWORD) == sizeof(uint32_t) && sizeof(WORD) == sizeof(uint16_t));

// A file data source's file: ".dsn" added when the name lacks it, and a bare name in the folder
// of file data sources (DefaultDSNDir), as the library places it.
std::string DsnFilePath(const char* pszFileName) {
  std::string path = pszFileName;
  if (path.size() < 4 || lstrcmpiA(path.c_str() + path.size() - 4, ".dsn") != 0) path += ".dsn";
  if (path.find_first_of("\\:") != std::string::npos) return path;
  char dir[MAX_PATH] = {};
  DWORD cbDir = sizeof(dir);
  if (RegGetValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\ODBC\\ODBC.INI\\ODBC File DSN", "DefaultDSNDir",
                   RRF_RT_REG_SZ, nullptr, dir, &cbDir) != ERROR_SUCCESS ||
      !dir[0])
    return path;
  return std::string(dir) + "\\" + path;
}

LPDWORD Dw(uint32_t* p) {
  return reinterpret_cast<LPDWORD>(p);
}
WORD* W(uint16_t* p) {
  return reinterpret_cast<WORD*>(p);
}

}  // namespace

uint32_t Win32OdbcInstaller::Load() {
  if (hLibrary_) return ERROR_SUCCESS;
  HMODULE hModule = LoadLibraryA("odbccp32.dll");
  if (!hModule) return GetLastError();
  hLibrary_ = hModule;
  return ERROR_SUCCESS;
}

uint32_t Win32OdbcInstaller::GetLibraryVersion(uint64_t& qwFileVersion) {
  if (!hLibrary_) return ERROR_MOD_NOT_FOUND;
  char path[MAX_PATH] = {};
  if (!GetModuleFileNameA(static_cast<HMODULE>(hLibrary_), path, MAX_PATH)) return GetLastError();
  DWORD dwUnused = 0;
  const DWORD nSize = GetFileVersionInfoSizeA(path, &dwUnused);
  if (nSize == 0) return GetLastError();
  std::vector<uint8_t> block(nSize);
  if (!GetFileVersionInfoA(path, 0, nSize, block.data())) return GetLastError();
  VS_FIXEDFILEINFO* info = nullptr;
  UINT nInfo = 0;
  if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &nInfo) || !info)
    return ERROR_RESOURCE_TYPE_NOT_FOUND;
  qwFileVersion = (uint64_t(info->dwFileVersionMS) << 32) | info->dwFileVersionLS;
  return ERROR_SUCCESS;
}

void* Win32OdbcInstaller::Entry(const char* name) {
  void* function =
      hLibrary_ ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(hLibrary_), name))
                : nullptr;
  dwOwnError_ = 0;
  if (!function) OwnError(ERROR_PROC_NOT_FOUND, kMissingEntryText);
  return function;
}

bool Win32OdbcInstaller::OwnError(uint32_t dwCode, const char* pszText) {
  dwOwnError_ = dwCode;
  pszOwnErrorText_ = pszText;
  return false;
}

bool Win32OdbcInstaller::NotImplemented() {
  if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;
  return SQLInstallerError(1, nullptr, nullptr, 0, nullptr) == SQL_NO_DATA;
}

bool Win32OdbcInstaller::HasEntry(const char* name) {
  return hLibrary_ && GetProcAddress(static_cast<HMODULE>(hLibrary_), name) != nullptr;
}

bool Win32OdbcInstaller::SQLInstallDriverManager(char* lpszPath, uint16_t cbPathMax,
                                                 uint16_t* pcbPathOut) {
  CALL_ODBC(PathOutFn, "SQLInstallDriverManager", FALSE, lpszPath, cbPathMax, W(pcbPathOut));
}

bool Win32OdbcInstaller::SQLRemoveDriverManager(uint32_t* lpdwUsageCount) {
  CALL_ODBC(UsageFn, "SQLRemoveDriverManager", FALSE, Dw(lpdwUsageCount));
}

bool Win32OdbcInstaller::SQLInstallDriver(const char* lpszInfFile, const char* lpszDriver,
                                          char* lpszPath, uint16_t cbPathMax,
                                          uint16_t* pcbPathOut) {
  CALL_ODBC(InstallDriverFn, "SQLInstallDriver", FALSE, lpszInfFile, lpszDriver, lpszPath,
            cbPathMax, W(pcbPathOut));
}

bool Win32OdbcInstaller::SQLInstallDriverEx(const char* lpszDriver, const char* lpszPathIn,
                                            char* lpszPathOut, uint16_t cbPathOutMax,
                                            uint16_t* pcbPathOut, uint16_t fRequest,
                                            uint32_t* lpdwUsageCount) {
  CALL_ODBC(InstallExFn, "SQLInstallDriverEx", FALSE, lpszDriver, lpszPathIn, lpszPathOut,
            cbPathOutMax, W(pcbPathOut), fRequest, Dw(lpdwUsageCount));
}

bool Win32OdbcInstaller::SQLRemoveDriver(const char* lpszDriver, bool fRemoveDSN,
                                         uint32_t* lpdwUsageCount) {
  CALL_ODBC(RemoveDriverFn, "SQLRemoveDriver", FALSE, lpszDriver, fRemoveDSN ? TRUE : FALSE,
            Dw(lpdwUsageCount));
}

bool Win32OdbcInstaller::SQLInstallTranslator(const char* lpszInfFile, const char* lpszTranslator,
                                              const char* lpszPathIn, char* lpszPathOut,
                                              uint16_t cbPathOutMax, uint16_t* pcbPathOut,
                                              uint16_t fRequest, uint32_t* lpdwUsageCount) {
  CALL_ODBC(InstallTranslatorFn, "SQLInstallTranslator", FALSE, lpszInfFile, lpszTranslator,
            lpszPathIn, lpszPathOut, cbPathOutMax, W(pcbPathOut), fRequest, Dw(lpdwUsageCount));
}

bool Win32OdbcInstaller::SQLInstallTranslatorEx(const char* lpszTranslator, const char* lpszPathIn,
                                                char* lpszPathOut, uint16_t cbPathOutMax,
                                                uint16_t* pcbPathOut, uint16_t fRequest,
                                                uint32_t* lpdwUsageCount) {
  CALL_ODBC(InstallExFn, "SQLInstallTranslatorEx", FALSE, lpszTranslator, lpszPathIn, lpszPathOut,
            cbPathOutMax, W(pcbPathOut), fRequest, Dw(lpdwUsageCount));
}

bool Win32OdbcInstaller::SQLRemoveTranslator(const char* lpszTranslator, uint32_t* lpdwUsageCount) {
  CALL_ODBC(RemoveTranslatorFn, "SQLRemoveTranslator", FALSE, lpszTranslator, Dw(lpdwUsageCount));
}

bool Win32OdbcInstaller::SQLConfigDataSource(uint16_t fRequest, const char* lpszDriver,
                                             const char* lpszAttributes) {
  CALL_ODBC(ConfigDataSourceFn, "SQLConfigDataSource", FALSE, nullptr, fRequest, lpszDriver,
            lpszAttributes);
}

bool Win32OdbcInstaller::SQLWriteFileDSN(const char* lpszFileName, const char* lpszAppName,
                                         const char* lpszKeyName, const char* lpszString) {
  auto* function = reinterpret_cast<WriteFileDsnFn>(Entry("SQLWriteFileDSN"));
  if (!function) return false;
  SetLastError(ERROR_SUCCESS);
  if (function(lpszFileName, lpszAppName, lpszKeyName, lpszString)) return true;
  if (!NotImplemented()) return false;
  // The library's own work: one profile line in the file.
  if (!lpszFileName || !*lpszFileName) return OwnError(ODBC_ERROR_INVALID_PATH, kInvalidPathText);
  if (!lpszAppName || !*lpszAppName) return OwnError(ODBC_ERROR_INVALID_STR, "Invalid string");
  if (!WritePrivateProfileStringA(lpszAppName, lpszKeyName, lpszString,
                                  DsnFilePath(lpszFileName).c_str()))
    return OwnError(ODBC_ERROR_INVALID_PATH, kInvalidPathText);
  return true;
}

bool Win32OdbcInstaller::SQLReadFileDSN(const char* lpszFileName, const char* lpszAppName,
                                        const char* lpszKeyName, char* lpszString,
                                        uint16_t cbString, uint16_t* pcbString) {
  auto* function = reinterpret_cast<ReadFileDsnFn>(Entry("SQLReadFileDSN"));
  if (!function) return false;
  SetLastError(ERROR_SUCCESS);
  if (function(lpszFileName, lpszAppName, lpszKeyName, lpszString, cbString, W(pcbString)))
    return true;
  if (!NotImplemented()) return false;
  if (!lpszFileName || !*lpszFileName) return OwnError(ODBC_ERROR_INVALID_PATH, kInvalidPathText);
  if (!lpszString || cbString == 0)
    return OwnError(ODBC_ERROR_INVALID_BUFF_LEN, kInvalidBufferText);
  if (!lpszAppName && lpszKeyName)
    return OwnError(ODBC_ERROR_INVALID_REQUEST_TYPE, kInvalidRequestText);
  // Read whole (a profile value is at most 64 KiB), so that the length reported is the text's.
  std::vector<char> text(65536);
  const DWORD nText =
      GetPrivateProfileStringA(lpszAppName, lpszKeyName, "", text.data(),
                               static_cast<DWORD>(text.size()), DsnFilePath(lpszFileName).c_str());
  const size_t n = std::min<size_t>(nText, cbString - 1u);
  std::memcpy(lpszString, text.data(), n);
  lpszString[n] = 0;
  if (pcbString) *pcbString = static_cast<uint16_t>(nText);
  if (n < nText) return OwnError(ODBC_ERROR_OUTPUT_STRING_TRUNCATED, kTruncatedText);
  return true;
}

int16_t Win32OdbcInstaller::SQLInstallerError(uint16_t iError, uint32_t* pfErrorCode,
                                              char* lpszErrorMsg, uint16_t cbErrorMsgMax,
                                              uint16_t* pcbErrorMsg) {
  if (dwOwnError_ != 0) {  // the last call was answered here: its error is the one error
    if (iError == 0) return SQL_ERROR;
    if (iError > 1) return SQL_NO_DATA;
    const size_t nText = std::strlen(pszOwnErrorText_);
    if (pfErrorCode) *pfErrorCode = dwOwnError_;
    if (pcbErrorMsg) *pcbErrorMsg = static_cast<uint16_t>(nText);
    if (lpszErrorMsg && cbErrorMsgMax > 0) {
      const size_t n = std::min<size_t>(nText, cbErrorMsgMax - 1u);
      std::memcpy(lpszErrorMsg, pszOwnErrorText_, n);
      lpszErrorMsg[n] = 0;
    }
    return SQL_SUCCESS_WITH_INFO;
  }
  auto* function = hLibrary_
                       ? reinterpret_cast<InstallerErrorFn>(reinterpret_cast<void*>(
                             GetProcAddress(static_cast<HMODULE>(hLibrary_), "SQLInstallerError")))
                       : nullptr;
  return function ? function(iError, Dw(pfErrorCode), lpszErrorMsg, cbErrorMsgMax, W(pcbErrorMsg))
                  : SQL_NO_DATA;
}

bool Win32OdbcInstaller::SQLGetConfigMode(uint16_t* pwConfigMode) {
  CALL_ODBC(GetConfigModeFn, "SQLGetConfigMode", FALSE, W(pwConfigMode));
}

bool Win32OdbcInstaller::SQLSetConfigMode(uint16_t wConfigMode) {
  CALL_ODBC(SetConfigModeFn, "SQLSetConfigMode", FALSE, wConfigMode);
}

bool Win32OdbcInstaller::SQLWritePrivateProfileString(const char* lpszSection,
                                                      const char* lpszEntry, const char* lpszString,
                                                      const char* lpszFilename) {
  CALL_ODBC(WriteProfileFn, "SQLWritePrivateProfileString", FALSE, lpszSection, lpszEntry,
            lpszString, lpszFilename);
}

int Win32OdbcInstaller::SQLGetPrivateProfileString(const char* lpszSection, const char* lpszEntry,
                                                   const char* lpszDefault, char* lpszRetBuffer,
                                                   int cbRetBuffer, const char* lpszFilename) {
  CALL_ODBC(GetProfileFn, "SQLGetPrivateProfileString", 0, lpszSection, lpszEntry, lpszDefault,
            lpszRetBuffer, cbRetBuffer, lpszFilename);
}

bool Win32OdbcInstaller::SQLGetInstalledDrivers(char* lpszBuf, uint16_t cbBufMax,
                                                uint16_t* pcbBufOut) {
  CALL_ODBC(PathOutFn, "SQLGetInstalledDrivers", FALSE, lpszBuf, cbBufMax, W(pcbBufOut));
}

bool Win32OdbcInstaller::SQLValidDSN(const char* lpszDSN) {
  CALL_ODBC(ValidDsnFn, "SQLValidDSN", FALSE, lpszDSN);
}

bool Win32OdbcInstaller::SQLWriteDSNToIni(const char* lpszDSN, const char* lpszDriver) {
  CALL_ODBC(WriteDsnFn, "SQLWriteDSNToIni", FALSE, lpszDSN, lpszDriver);
}

bool Win32OdbcInstaller::SQLRemoveDSNFromIni(const char* lpszDSN) {
  CALL_ODBC(ValidDsnFn, "SQLRemoveDSNFromIni", FALSE, lpszDSN);
}

#undef CALL_ODBC

}  // namespace platform::win32
