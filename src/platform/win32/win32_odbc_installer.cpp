// Each call looks its entry point up in the loaded library and passes the arguments through in the
// library's own types; the library keeps its error queue itself. Only a missing library or entry
// point is answered here.
#include "platform/win32/win32_odbc_installer.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win32/windows_api.h"
#include "platform/win_error.h"

namespace platform::win32 {
namespace {

constexpr const char kMissingEntryText[] = "The specified procedure could not be found.";

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
  bEntryMissing_ = function == nullptr;
  return function;
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
  CALL_ODBC(WriteFileDsnFn, "SQLWriteFileDSN", FALSE, lpszFileName, lpszAppName, lpszKeyName,
            lpszString);
}

bool Win32OdbcInstaller::SQLReadFileDSN(const char* lpszFileName, const char* lpszAppName,
                                        const char* lpszKeyName, char* lpszString,
                                        uint16_t cbString, uint16_t* pcbString) {
  CALL_ODBC(ReadFileDsnFn, "SQLReadFileDSN", FALSE, lpszFileName, lpszAppName, lpszKeyName,
            lpszString, cbString, W(pcbString));
}

int16_t Win32OdbcInstaller::SQLInstallerError(uint16_t iError, uint32_t* pfErrorCode,
                                              char* lpszErrorMsg, uint16_t cbErrorMsgMax,
                                              uint16_t* pcbErrorMsg) {
  if (bEntryMissing_) {  // the last call had no entry point: that is the one error
    if (iError == 0) return SQL_ERROR;
    if (iError > 1) return SQL_NO_DATA;
    if (pfErrorCode) *pfErrorCode = ERROR_PROC_NOT_FOUND;
    if (pcbErrorMsg) *pcbErrorMsg = static_cast<uint16_t>(sizeof(kMissingEntryText) - 1);
    if (lpszErrorMsg && cbErrorMsgMax > 0) {
      const size_t n = std::min<size_t>(sizeof(kMissingEntryText) - 1, cbErrorMsgMax - 1u);
      std::memcpy(lpszErrorMsg, kMissingEntryText, n);
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
