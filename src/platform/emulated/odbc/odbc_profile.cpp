// The installer's profile functions of the emulated machine: ODBC.INI, ODBCINST.INI and other
// "files" are keys below Software\ODBC, as on Windows, and the configuration mode picks the hive
// of ODBC.INI. File data sources are real INI files, written through the machine's profile
// functions. The buffer rules (what a short buffer or a null argument answers) follow the
// installer's, since setups rely on them.
#include <algorithm>
#include <cstring>

#include "platform/ansi_case.h"
#include "platform/emulated/odbc/emulated_odbc_installer.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

constexpr const char* kOdbcIni = "SOFTWARE\\ODBC\\ODBC.INI";
constexpr const char* kDataSources = "SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources";
constexpr size_t kMaxDsnLength = 32;

RegValue TextValue(const std::string& text) {
  RegValue value{REG_SZ, {text.begin(), text.end()}};
  value.data.push_back(0);
  return value;
}

std::string TextOf(const RegValue& value) {
  return {value.data.begin(), std::find(value.data.begin(), value.data.end(), 0)};
}

bool HasText(const char* text) {
  return text && *text;
}

}  // namespace

RegRoot EmulatedOdbcInstaller::DataSourceRoot(const std::string& dsn) {
  if (wConfigMode_ == ODBC_USER_DSN) return RegRoot::CurrentUser;
  if (wConfigMode_ == ODBC_SYSTEM_DSN) return RegRoot::LocalMachine;
  // Both: the user's data source when there is one, else the system's, else a new user's one.
  const std::string key = std::string(kOdbcIni) + "\\" + dsn;
  if (registry_.OpenKey(RegRoot::CurrentUser, key) == ERROR_SUCCESS) return RegRoot::CurrentUser;
  if (registry_.OpenKey(RegRoot::LocalMachine, key) == ERROR_SUCCESS) return RegRoot::LocalMachine;
  return RegRoot::CurrentUser;
}

std::pair<RegRoot, std::string> EmulatedOdbcInstaller::ProfileKey(const std::string& section,
                                                                  const std::string& file) {
  if (AnsiEqualNoCase(file, "ODBC.INI"))
    return {DataSourceRoot(section), std::string(kOdbcIni) + "\\" + section};
  if (AnsiEqualNoCase(file, "ODBCINST.INI"))
    return {RegRoot::LocalMachine, "SOFTWARE\\ODBC\\ODBCINST.INI\\" + section};
  return {RegRoot::CurrentUser, "SOFTWARE\\ODBC\\" + file + "\\" + section};
}

bool EmulatedOdbcInstaller::SQLWritePrivateProfileString(const char* lpszSection,
                                                         const char* lpszEntry,
                                                         const char* lpszString,
                                                         const char* lpszFilename) {
  ClearErrors();
  if (!HasText(lpszFilename) || !HasText(lpszSection))
    return Fail(ODBC_ERROR_INVALID_STR, "Invalid string");
  const auto [root, key] = ProfileKey(lpszSection, lpszFilename);
  uint32_t err = ERROR_SUCCESS;
  if (!lpszEntry) {
    err = registry_.DeleteTree(root, key);
  } else if (!lpszString) {
    err = registry_.DeleteValue(root, key, lpszEntry);
  } else {
    err = registry_.CreateKey(root, key);
    if (err == ERROR_SUCCESS) err = registry_.SetValue(root, key, lpszEntry, TextValue(lpszString));
  }
  if (err != ERROR_SUCCESS && err != ERROR_FILE_NOT_FOUND)
    return Fail(ODBC_ERROR_WRITING_SYSINFO_FAILED, "Could not write to the system information");
  return true;
}

int EmulatedOdbcInstaller::SQLGetPrivateProfileString(const char* lpszSection,
                                                      const char* lpszEntry,
                                                      const char* lpszDefault, char* lpszRetBuffer,
                                                      int cbRetBuffer, const char* lpszFilename) {
  ClearErrors();
  if (!lpszRetBuffer || cbRetBuffer <= 0) return 0;
  const size_t cbMax = static_cast<size_t>(cbRetBuffer);
  std::string text;
  bool bList = false;
  if (lpszSection && HasText(lpszFilename)) {
    const auto [root, key] = ProfileKey(lpszSection, lpszFilename);
    RegValue value;
    if (!lpszEntry) {
      // The names of the section's entries, each ended by a zero byte; only whole names.
      bList = true;
      std::string name;
      for (uint32_t i = 0; registry_.EnumValue(root, key, i, name, value) == ERROR_SUCCESS; ++i) {
        if (text.size() + name.size() + 1 > cbMax - 1) break;
        text += name + '\0';
      }
    } else if (registry_.QueryValue(root, key, lpszEntry, value) == ERROR_SUCCESS) {
      text = TextOf(value);
    } else if (lpszDefault) {
      text = lpszDefault;
    }
  }
  if (bList) {
    std::memset(lpszRetBuffer, 0, cbMax);
    std::memcpy(lpszRetBuffer, text.data(), text.size());
    return static_cast<int>(text.size());
  }
  const size_t n = std::min(text.size(), cbMax - 1);
  std::memcpy(lpszRetBuffer, text.data(), n);
  lpszRetBuffer[n] = 0;
  return static_cast<int>(n);
}

bool EmulatedOdbcInstaller::SQLValidDSN(const char* lpszDSN) {
  ClearErrors();
  if (!HasText(lpszDSN) || std::strlen(lpszDSN) > kMaxDsnLength) return false;
  return std::strpbrk(lpszDSN, "[]{}(),;?*=!@\\") == nullptr;
}

bool EmulatedOdbcInstaller::SQLWriteDSNToIni(const char* lpszDSN, const char* lpszDriver) {
  if (!SQLValidDSN(lpszDSN)) return Fail(ODBC_ERROR_INVALID_DSN, "Invalid DSN");
  if (!HasText(lpszDriver)) return Fail(ODBC_ERROR_INVALID_NAME, "Invalid name");
  const std::string dsn = lpszDSN;
  const RegRoot root =
      wConfigMode_ == ODBC_SYSTEM_DSN ? RegRoot::LocalMachine : RegRoot::CurrentUser;
  // The data source's "Driver" is the driver's library; an unknown driver leaves it empty.
  RegValue driverFile;
  if (registry_.QueryValue(RegRoot::LocalMachine,
                           std::string("SOFTWARE\\ODBC\\ODBCINST.INI\\") + lpszDriver, "Driver",
                           driverFile) != ERROR_SUCCESS)
    driverFile = TextValue("");
  const std::string key = std::string(kOdbcIni) + "\\" + dsn;
  const uint32_t err = registry_.WriteAsOne([&] {
    registry_.DeleteTree(root, key);
    uint32_t e = registry_.CreateKey(root, kDataSources);
    if (e == ERROR_SUCCESS) e = registry_.SetValue(root, kDataSources, dsn, TextValue(lpszDriver));
    if (e == ERROR_SUCCESS) e = registry_.CreateKey(root, key);
    if (e == ERROR_SUCCESS)
      e = registry_.SetValue(root, key, "Driver", TextValue(TextOf(driverFile)));
    return e;
  });
  if (err != ERROR_SUCCESS)
    return Fail(ODBC_ERROR_WRITING_SYSINFO_FAILED, "Could not write to the system information");
  return true;
}

bool EmulatedOdbcInstaller::SQLRemoveDSNFromIni(const char* lpszDSN) {
  if (!SQLValidDSN(lpszDSN)) return Fail(ODBC_ERROR_INVALID_DSN, "Invalid DSN");
  const std::string dsn = lpszDSN;
  const RegRoot root = DataSourceRoot(dsn);
  const uint32_t err = registry_.WriteAsOne([&] {
    registry_.DeleteValue(root, kDataSources, dsn);
    const uint32_t e = registry_.DeleteTree(root, std::string(kOdbcIni) + "\\" + dsn);
    return e == ERROR_FILE_NOT_FOUND ? uint32_t{ERROR_SUCCESS} : e;
  });
  if (err != ERROR_SUCCESS)
    return Fail(ODBC_ERROR_REMOVE_DSN_FAILED,
                "Could not remove the DSN from the system information");
  return true;
}

// A name without a directory lies in the default directory of file data sources; ".dsn" is
// added when the name lacks it.
std::string EmulatedOdbcInstaller::DsnFilePath(const std::string& fileName) {
  std::string path = fileName;
  if (path.size() < 4 || !AnsiEqualNoCase(path.substr(path.size() - 4), ".dsn")) path += ".dsn";
  if (path.find_first_of("\\:") != std::string::npos) return path;
  RegValue dir;
  registry_.QueryValue(RegRoot::LocalMachine, std::string(kOdbcIni) + "\\ODBC File DSN",
                       "DefaultDSNDir", dir);
  const std::string folder = TextOf(dir);
  return folder.empty() ? path : folder + "\\" + path;
}

bool EmulatedOdbcInstaller::SQLWriteFileDSN(const char* lpszFileName, const char* lpszAppName,
                                            const char* lpszKeyName, const char* lpszString) {
  ClearErrors();
  if (!HasText(lpszFileName)) return Fail(ODBC_ERROR_INVALID_PATH, "Invalid file path");
  if (!HasText(lpszAppName)) return Fail(ODBC_ERROR_INVALID_STR, "Invalid string");
  if (profile_.WritePrivateProfileString(lpszAppName, lpszKeyName, lpszString,
                                         DsnFilePath(lpszFileName)) != ERROR_SUCCESS)
    return Fail(ODBC_ERROR_INVALID_PATH, "Invalid file path");
  return true;
}

bool EmulatedOdbcInstaller::SQLReadFileDSN(const char* lpszFileName, const char* lpszAppName,
                                           const char* lpszKeyName, char* lpszString,
                                           uint16_t cbString, uint16_t* pcbString) {
  ClearErrors();
  if (!HasText(lpszFileName)) return Fail(ODBC_ERROR_INVALID_PATH, "Invalid file path");
  if (!lpszString || cbString == 0)
    return Fail(ODBC_ERROR_INVALID_BUFF_LEN, "Invalid buffer length");
  if (!lpszAppName && lpszKeyName)
    return Fail(ODBC_ERROR_INVALID_REQUEST_TYPE, "Invalid type of request");
  const std::string text =
      profile_.GetPrivateProfileString(lpszAppName, lpszKeyName, "", DsnFilePath(lpszFileName));
  const size_t n = std::min<size_t>(text.size(), cbString - 1u);
  std::memcpy(lpszString, text.data(), n);
  lpszString[n] = 0;
  if (pcbString) *pcbString = static_cast<uint16_t>(text.size());
  if (n < text.size()) return Fail(ODBC_ERROR_OUTPUT_STRING_TRUNCATED, "String truncated");
  return true;
}

}  // namespace platform::emulated
