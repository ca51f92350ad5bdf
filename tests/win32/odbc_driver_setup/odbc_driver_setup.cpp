// A driver's setup library for the tests: what an ODBC driver brings for SQLConfigDataSource to
// call, and nothing of a driver itself. Its ConfigDSN adds, changes and removes the data source
// the attribute list names, without asking anything (no window is ever given), in the same way as
// the emulated machine's setup routine: the DSN's keyword is the data source's name, every other
// keyword is one of its values, and the driver's file is its Driver value.
//
// The installer library puts the request's configuration mode in force before calling ConfigDSN;
// the routine asks for it (SQLGetConfigMode) and works on that mode's ODBC.INI in the registry
// itself, a user data source in the user's and a system one in the machine's. The installer's
// own writers are not used because Wine's do not follow the mode: its SQLWriteDSNToIni always
// writes the machine's ODBC.INI and its SQLWritePrivateProfileString always the user's.
#include <windows.h>
// windows.h first: the installer's header uses its types.
#include <odbcinst.h>

#include <string>
#include <utility>
#include <vector>

namespace {

constexpr const char kOdbcIni[] = "SOFTWARE\\ODBC\\ODBC.INI";

// The ODBC.INI of the configuration mode in force.
HKEY ModeRoot() {
  WORD wMode = ODBC_BOTH_DSN;
  SQLGetConfigMode(&wMode);
  return wMode == ODBC_SYSTEM_DSN ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

bool HasDataSource(HKEY hRoot, const std::string& dsn) {
  HKEY hKey = nullptr;
  if (RegOpenKeyExA(hRoot, (std::string(kOdbcIni) + "\\" + dsn).c_str(), 0, KEY_READ, &hKey) !=
      ERROR_SUCCESS)
    return false;
  RegCloseKey(hKey);
  return true;
}

// The driver's file, as the driver's installation recorded it ("" when it did not).
std::string DriverFile(const char* pszDriver) {
  char file[MAX_PATH] = {};
  DWORD cbFile = sizeof(file);
  const std::string key = std::string("SOFTWARE\\ODBC\\ODBCINST.INI\\") + pszDriver;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), "Driver", RRF_RT_REG_SZ, nullptr, file,
                   &cbFile) != ERROR_SUCCESS)
    return "";
  return file;
}

BOOL Refuse(DWORD dwCode, const char* pszText) {
  SQLPostInstallerError(dwCode, pszText);
  return FALSE;
}

// One text value of a key below the mode's ODBC.INI, the key made when it is missing.
bool Write(HKEY hRoot, const std::string& section, const std::string& name,
           const std::string& value) {
  HKEY hKey = nullptr;
  if (RegCreateKeyExA(hRoot, (std::string(kOdbcIni) + "\\" + section).c_str(), 0, nullptr, 0,
                      KEY_SET_VALUE, nullptr, &hKey, nullptr) != ERROR_SUCCESS)
    return false;
  const LSTATUS status =
      RegSetValueExA(hKey, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1));
  RegCloseKey(hKey);
  return status == ERROR_SUCCESS;
}

}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI
    ConfigDSN(HWND /*hwndParent*/, WORD fRequest, LPCSTR lpszDriver, LPCSTR lpszAttributes) {
  std::string dsn;
  std::vector<std::pair<std::string, std::string>> values;
  for (const char* p = lpszAttributes; p && *p; p += lstrlenA(p) + 1) {
    const std::string entry = p;
    const size_t nEqual = entry.find('=');
    if (nEqual == std::string::npos) continue;
    if (lstrcmpiA(entry.substr(0, nEqual).c_str(), "DSN") == 0)
      dsn = entry.substr(nEqual + 1);
    else
      values.emplace_back(entry.substr(0, nEqual), entry.substr(nEqual + 1));
  }
  if (!lpszDriver || !*lpszDriver) return Refuse(ODBC_ERROR_INVALID_NAME, "Invalid name");
  // An empty name is refused here too: Wine's SQLValidDSN takes it.
  if (dsn.empty() || !SQLValidDSN(dsn.c_str()))
    return Refuse(ODBC_ERROR_INVALID_KEYWORD_VALUE, "Invalid keyword-value pairs");
  const HKEY hRoot = ModeRoot();
  const bool bExists = HasDataSource(hRoot, dsn);
  switch (fRequest) {
    case ODBC_REMOVE_DSN: {
      if (!bExists) return Refuse(ODBC_ERROR_INVALID_DSN, "Invalid DSN");
      HKEY hSources = nullptr;
      if (RegOpenKeyExA(hRoot, (std::string(kOdbcIni) + "\\ODBC Data Sources").c_str(), 0,
                        KEY_SET_VALUE, &hSources) == ERROR_SUCCESS) {
        RegDeleteValueA(hSources, dsn.c_str());
        RegCloseKey(hSources);
      }
      HKEY hOdbcIni = nullptr;
      if (RegOpenKeyExA(hRoot, kOdbcIni, 0, KEY_ALL_ACCESS, &hOdbcIni) != ERROR_SUCCESS)
        return Refuse(ODBC_ERROR_REMOVE_DSN_FAILED, "Could not remove the DSN");
      const LSTATUS status = RegDeleteTreeA(hOdbcIni, dsn.c_str());
      RegCloseKey(hOdbcIni);
      return status == ERROR_SUCCESS
                 ? TRUE
                 : Refuse(ODBC_ERROR_REMOVE_DSN_FAILED, "Could not remove the DSN");
    }
    case ODBC_ADD_DSN:
      // A new data source replaces one of the same name, as SQLWriteDSNToIni replaces it.
      if (bExists) {
        HKEY hOdbcIni = nullptr;
        if (RegOpenKeyExA(hRoot, kOdbcIni, 0, KEY_ALL_ACCESS, &hOdbcIni) == ERROR_SUCCESS) {
          RegDeleteTreeA(hOdbcIni, dsn.c_str());  // the key with all it holds
          RegCloseKey(hOdbcIni);
        }
      }
      if (!Write(hRoot, "ODBC Data Sources", dsn, lpszDriver) ||
          !Write(hRoot, dsn, "Driver", DriverFile(lpszDriver)))
        return Refuse(ODBC_ERROR_CREATE_DSN_FAILED, "Could not create the DSN");
      break;
    case ODBC_CONFIG_DSN:
      if (!bExists) return Refuse(ODBC_ERROR_INVALID_DSN, "Invalid DSN");
      break;
    default:
      return Refuse(ODBC_ERROR_INVALID_REQUEST_TYPE, "Invalid type of request");
  }
  for (const auto& [key, value] : values)
    if (!Write(hRoot, dsn, key, value))
      return Refuse(ODBC_ERROR_REQUEST_FAILED, "Could not write the DSN's value");
  return TRUE;
}
