// Drivers, translators, the driver manager's usage count, data-source requests and the error
// queue of the emulated ODBC installer. Each call starts with an empty queue and leaves at most
// one error in it, as the installer does for the calls a setup makes.
#include "platform/emulated/odbc/emulated_odbc_installer.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/ansi_case.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

constexpr const char* kOdbcInst = "SOFTWARE\\ODBC\\ODBCINST.INI";
constexpr const char* kCoreKey = "SOFTWARE\\ODBC\\ODBCINST.INI\\ODBC Core";
constexpr size_t kMaxErrors = 8;
constexpr uint16_t kMaxPath = 260;

// The entry points the library exports that the engine looks up by name.
constexpr std::string_view kEntries[] = {"SQLInstallDriverManager",
                                         "SQLRemoveDriverManager",
                                         "SQLInstallDriver",
                                         "SQLInstallDriverEx",
                                         "SQLRemoveDriver",
                                         "SQLInstallTranslator",
                                         "SQLInstallTranslatorEx",
                                         "SQLRemoveTranslator",
                                         "SQLConfigDataSource",
                                         "SQLWriteFileDSN",
                                         "SQLReadFileDSN",
                                         "SQLInstallerError",
                                         "SQLGetConfigMode",
                                         "SQLSetConfigMode",
                                         "SQLWritePrivateProfileString",
                                         "SQLGetPrivateProfileString",
                                         "SQLGetInstalledDrivers",
                                         "SQLValidDSN",
                                         "SQLWriteDSNToIni",
                                         "SQLRemoveDSNFromIni"};

RegValue TextValue(const std::string& text) {
  RegValue value{REG_SZ, {text.begin(), text.end()}};
  value.data.push_back(0);
  return value;
}

RegValue DwordValue(uint32_t dw) {
  return {REG_DWORD, {uint8_t(dw), uint8_t(dw >> 8), uint8_t(dw >> 16), uint8_t(dw >> 24)}};
}

uint32_t DwordOf(const RegValue& value) {
  uint32_t dw = 0;
  for (size_t i = 0; i < 4 && i < value.data.size(); ++i) dw |= uint32_t(value.data[i]) << (8 * i);
  return dw;
}

// The strings of an attribute list, up to the empty one that ends it.
std::vector<std::string> AttributeStrings(const char* list) {
  std::vector<std::string> strings;
  for (const char* p = list; p && *p; p += std::strlen(p) + 1) strings.emplace_back(p);
  return strings;
}

// Copies text into a caller's buffer of cbMax bytes, cut to fit; false when it was cut.
bool CopyOut(const std::string& text, char* buffer, size_t cbMax) {
  if (!buffer || cbMax == 0) return text.empty();
  const size_t n = std::min(text.size(), cbMax - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = 0;
  return n == text.size();
}

std::string Join(const std::string& dir, const std::string& file) {
  if (dir.empty()) return file;
  return dir.back() == '\\' ? dir + file : dir + "\\" + file;
}

}  // namespace

std::string EmulatedOdbcInstaller::SeedRegistryText() {
  std::string dir;
  for (char c : DataSourcesFolder()) {
    if (c == '\\') dir += '\\';
    dir += c;
  }
  return "\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\ODBC\\ODBCINST.INI\\ODBC Core]\n"
         "\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\ODBC\\ODBCINST.INI\\ODBC Drivers]\n"
         "\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\ODBC\\ODBCINST.INI\\ODBC Translators]\n"
         "\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources]\n"
         "\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\ODBC\\ODBC.INI\\ODBC File DSN]\n"
         "\"DefaultDSNDir\"=\"" +
         dir +
         "\"\n"
         "\n[HKEY_USERS\\{SID}\\Software\\ODBC\\ODBC.INI\\ODBC Data Sources]\n";
}

std::string EmulatedOdbcInstaller::DataSourcesFolder() {
  return "C:\\Program Files\\Common Files\\ODBC\\Data Sources";
}

bool EmulatedOdbcInstaller::Fail(uint32_t dwCode, std::string message) {
  if (errors_.size() < kMaxErrors) errors_.emplace_back(dwCode, std::move(message));
  return false;
}

uint32_t EmulatedOdbcInstaller::Load() {
  return libraryVersion_.empty() ? ERROR_MOD_NOT_FOUND : ERROR_SUCCESS;
}

uint32_t EmulatedOdbcInstaller::GetLibraryVersion(uint64_t& qwFileVersion) {
  if (libraryVersion_.empty()) return ERROR_MOD_NOT_FOUND;
  qwFileVersion = 0;
  size_t nPart = 0;
  uint64_t part = 0;
  for (size_t i = 0; i <= libraryVersion_.size() && nPart < 4; ++i) {
    if (i == libraryVersion_.size() || libraryVersion_[i] == '.') {
      qwFileVersion |= (part & 0xFFFF) << (48 - 16 * nPart++);
      part = 0;
    } else if (libraryVersion_[i] >= '0' && libraryVersion_[i] <= '9') {
      part = part * 10 + uint64_t(libraryVersion_[i] - '0');
    }
  }
  return ERROR_SUCCESS;
}

bool EmulatedOdbcInstaller::HasEntry(const char* name) {
  if (!name || libraryVersion_.empty()) return false;
  return std::find(std::begin(kEntries), std::end(kEntries), std::string_view(name)) !=
         std::end(kEntries);
}

bool EmulatedOdbcInstaller::SQLInstallDriverManager(char* lpszPath, uint16_t cbPathMax,
                                                    uint16_t* pcbPathOut) {
  ClearErrors();
  if (!lpszPath || cbPathMax < kMaxPath)
    return Fail(ODBC_ERROR_INVALID_BUFF_LEN, "Invalid buffer length");
  RegValue value;
  const uint32_t nCount =
      registry_.QueryValue(RegRoot::LocalMachine, kCoreKey, "UsageCount", value) == ERROR_SUCCESS
          ? DwordOf(value)
          : 0;
  if (registry_.CreateKey(RegRoot::LocalMachine, kCoreKey) != ERROR_SUCCESS ||
      registry_.SetValue(RegRoot::LocalMachine, kCoreKey, "UsageCount", DwordValue(nCount + 1)) !=
          ERROR_SUCCESS)
    return Fail(ODBC_ERROR_USAGE_UPDATE_FAILED, "Component usage count update failed");
  CopyOut(systemDir_, lpszPath, cbPathMax);
  if (pcbPathOut) *pcbPathOut = static_cast<uint16_t>(systemDir_.size());
  return true;
}

bool EmulatedOdbcInstaller::SQLRemoveDriverManager(uint32_t* lpdwUsageCount) {
  ClearErrors();
  RegValue value;
  uint32_t nCount = 0;
  if (registry_.QueryValue(RegRoot::LocalMachine, kCoreKey, "UsageCount", value) == ERROR_SUCCESS)
    nCount = DwordOf(value);
  if (nCount > 0) --nCount;
  const uint32_t err =
      nCount > 0
          ? registry_.SetValue(RegRoot::LocalMachine, kCoreKey, "UsageCount", DwordValue(nCount))
          : registry_.DeleteValue(RegRoot::LocalMachine, kCoreKey, "UsageCount");
  if (err != ERROR_SUCCESS && err != ERROR_FILE_NOT_FOUND)
    return Fail(ODBC_ERROR_USAGE_UPDATE_FAILED, "Component usage count update failed");
  if (lpdwUsageCount) *lpdwUsageCount = nCount;
  return true;
}

bool EmulatedOdbcInstaller::InstallComponent(const ComponentKind& kind, const char* lpszAttributes,
                                             const char* lpszPathIn, char* lpszPathOut,
                                             uint16_t cbPathOutMax, uint16_t* pcbPathOut,
                                             uint16_t fRequest, uint32_t* lpdwUsageCount) {
  ClearErrors();
  if (fRequest != ODBC_INSTALL_INQUIRY && fRequest != ODBC_INSTALL_COMPLETE)
    return Fail(ODBC_ERROR_INVALID_REQUEST_TYPE, "Invalid type of request");
  const std::vector<std::string> strings = AttributeStrings(lpszAttributes);
  if (strings.empty()) return Fail(ODBC_ERROR_INVALID_PARAM_SEQUENCE, "Invalid parameter sequence");
  const std::string dir = lpszPathIn && *lpszPathIn ? lpszPathIn : systemDir_;
  if (!lpszPathOut || cbPathOutMax == 0)
    return Fail(ODBC_ERROR_INVALID_BUFF_LEN, "Invalid buffer length");
  const bool bWhole = CopyOut(dir, lpszPathOut, cbPathOutMax);
  if (pcbPathOut) *pcbPathOut = static_cast<uint16_t>(dir.size());
  if (!bWhole) return Fail(ODBC_ERROR_OUTPUT_STRING_TRUNCATED, "String truncated");
  if (fRequest == ODBC_INSTALL_INQUIRY) return true;

  const std::string& name = strings.front();
  const std::string key = std::string(kOdbcInst) + "\\" + name;
  RegValue value;
  uint32_t nCount = 0;
  if (registry_.QueryValue(RegRoot::LocalMachine, key, "UsageCount", value) == ERROR_SUCCESS)
    nCount = DwordOf(value);
  else if (registry_.OpenKey(RegRoot::LocalMachine, key) == ERROR_SUCCESS)
    nCount = 1;  // installed before usage counts were kept
  const uint32_t err = registry_.WriteAsOne([&] {
    const std::string listKey = std::string(kOdbcInst) + "\\" + kind.listKey;
    uint32_t e = registry_.CreateKey(RegRoot::LocalMachine, key);
    if (e == ERROR_SUCCESS) e = registry_.CreateKey(RegRoot::LocalMachine, listKey);
    for (size_t i = 1; i < strings.size() && e == ERROR_SUCCESS; ++i) {
      const size_t nEqual = strings[i].find('=');
      if (nEqual == std::string::npos) continue;
      const std::string keyword = strings[i].substr(0, nEqual);
      std::string text = strings[i].substr(nEqual + 1);
      for (const char* fileKey : kind.fileKeys)
        if (fileKey && AnsiEqualNoCase(keyword, fileKey) &&
            text.find_first_of("\\:") == std::string::npos)
          text = Join(dir, text);  // a bare file name lies in the installation directory
      e = registry_.SetValue(RegRoot::LocalMachine, key, keyword, TextValue(text));
    }
    if (e == ERROR_SUCCESS)
      e = registry_.SetValue(RegRoot::LocalMachine, key, "UsageCount", DwordValue(nCount + 1));
    if (e == ERROR_SUCCESS)
      e = registry_.SetValue(RegRoot::LocalMachine, listKey, name, TextValue("Installed"));
    return e;
  });
  if (err != ERROR_SUCCESS)
    return Fail(ODBC_ERROR_WRITING_SYSINFO_FAILED, "Could not write to the system information");
  if (lpdwUsageCount) *lpdwUsageCount = nCount + 1;
  return true;
}

bool EmulatedOdbcInstaller::RemoveComponent(const ComponentKind& kind, const char* lpszName,
                                            bool fRemoveDSN, uint32_t* lpdwUsageCount) {
  ClearErrors();
  if (!lpszName || !*lpszName) return Fail(ODBC_ERROR_INVALID_NAME, "Invalid name");
  const std::string name = lpszName;
  const std::string key = std::string(kOdbcInst) + "\\" + name;
  if (registry_.OpenKey(RegRoot::LocalMachine, key) != ERROR_SUCCESS)
    return Fail(ODBC_ERROR_COMPONENT_NOT_FOUND, "Component not found in the registry");
  RegValue value;
  uint32_t nCount = 1;
  if (registry_.QueryValue(RegRoot::LocalMachine, key, "UsageCount", value) == ERROR_SUCCESS)
    nCount = DwordOf(value);
  if (nCount > 0) --nCount;
  const uint32_t err = registry_.WriteAsOne([&] {
    if (nCount > 0)
      return registry_.SetValue(RegRoot::LocalMachine, key, "UsageCount", DwordValue(nCount));
    registry_.DeleteValue(RegRoot::LocalMachine, std::string(kOdbcInst) + "\\" + kind.listKey,
                          name);
    return registry_.DeleteTree(RegRoot::LocalMachine, key);
  });
  if (err != ERROR_SUCCESS)
    return Fail(ODBC_ERROR_USAGE_UPDATE_FAILED, "Component usage count update failed");
  if (nCount == 0 && fRemoveDSN) RemoveDataSourcesOf(name);
  if (lpdwUsageCount) *lpdwUsageCount = nCount;
  return true;
}

namespace {
constexpr const char* kDriverFileKeys[2] = {"Driver", "Setup"};
constexpr const char* kTranslatorFileKeys[2] = {"Translator", "Setup"};
}  // namespace

bool EmulatedOdbcInstaller::SQLInstallDriver(const char* lpszInfFile, const char* lpszDriver,
                                             char* lpszPath, uint16_t cbPathMax,
                                             uint16_t* pcbPathOut) {
  if (lpszInfFile) {  // setup information files of 16-bit drivers are not read any more
    ClearErrors();
    return Fail(ODBC_ERROR_INVALID_INF, "Invalid INF file");
  }
  return SQLInstallDriverEx(lpszDriver, nullptr, lpszPath, cbPathMax, pcbPathOut,
                            ODBC_INSTALL_COMPLETE, nullptr);
}

bool EmulatedOdbcInstaller::SQLInstallDriverEx(const char* lpszDriver, const char* lpszPathIn,
                                               char* lpszPathOut, uint16_t cbPathOutMax,
                                               uint16_t* pcbPathOut, uint16_t fRequest,
                                               uint32_t* lpdwUsageCount) {
  const ComponentKind kind{"ODBC Drivers", {kDriverFileKeys[0], kDriverFileKeys[1]}};
  return InstallComponent(kind, lpszDriver, lpszPathIn, lpszPathOut, cbPathOutMax, pcbPathOut,
                          fRequest, lpdwUsageCount);
}

bool EmulatedOdbcInstaller::SQLRemoveDriver(const char* lpszDriver, bool fRemoveDSN,
                                            uint32_t* lpdwUsageCount) {
  const ComponentKind kind{"ODBC Drivers", {kDriverFileKeys[0], kDriverFileKeys[1]}};
  return RemoveComponent(kind, lpszDriver, fRemoveDSN, lpdwUsageCount);
}

bool EmulatedOdbcInstaller::SQLInstallTranslator(const char* lpszInfFile,
                                                 const char* lpszTranslator, const char* lpszPathIn,
                                                 char* lpszPathOut, uint16_t cbPathOutMax,
                                                 uint16_t* pcbPathOut, uint16_t fRequest,
                                                 uint32_t* lpdwUsageCount) {
  if (lpszInfFile) {
    ClearErrors();
    return Fail(ODBC_ERROR_INVALID_INF, "Invalid INF file");
  }
  return SQLInstallTranslatorEx(lpszTranslator, lpszPathIn, lpszPathOut, cbPathOutMax, pcbPathOut,
                                fRequest, lpdwUsageCount);
}

bool EmulatedOdbcInstaller::SQLInstallTranslatorEx(const char* lpszTranslator,
                                                   const char* lpszPathIn, char* lpszPathOut,
                                                   uint16_t cbPathOutMax, uint16_t* pcbPathOut,
                                                   uint16_t fRequest, uint32_t* lpdwUsageCount) {
  const ComponentKind kind{"ODBC Translators", {kTranslatorFileKeys[0], kTranslatorFileKeys[1]}};
  return InstallComponent(kind, lpszTranslator, lpszPathIn, lpszPathOut, cbPathOutMax, pcbPathOut,
                          fRequest, lpdwUsageCount);
}

bool EmulatedOdbcInstaller::SQLRemoveTranslator(const char* lpszTranslator,
                                                uint32_t* lpdwUsageCount) {
  const ComponentKind kind{"ODBC Translators", {kTranslatorFileKeys[0], kTranslatorFileKeys[1]}};
  return RemoveComponent(kind, lpszTranslator, false, lpdwUsageCount);
}

bool EmulatedOdbcInstaller::SQLGetInstalledDrivers(char* lpszBuf, uint16_t cbBufMax,
                                                   uint16_t* pcbBufOut) {
  ClearErrors();
  if (!lpszBuf || cbBufMax == 0) return Fail(ODBC_ERROR_INVALID_BUFF_LEN, "Invalid buffer length");
  const std::string listKey = std::string(kOdbcInst) + "\\ODBC Drivers";
  std::string list;
  std::string name;
  RegValue value;
  for (uint32_t i = 0;
       registry_.EnumValue(RegRoot::LocalMachine, listKey, i, name, value) == ERROR_SUCCESS; ++i)
    list += name + '\0';
  // The list and its final zero byte; a list that does not fit is cut and ended by two zeros.
  size_t nWritten = list.size() + 1;
  if (nWritten > cbBufMax) {
    list.resize(cbBufMax >= 2 ? cbBufMax - 2 : 0);
    list += '\0';
    nWritten = cbBufMax;
  }
  std::memcpy(lpszBuf, list.data(), list.size());
  lpszBuf[list.size()] = 0;
  if (pcbBufOut) *pcbBufOut = static_cast<uint16_t>(nWritten);
  return true;
}

bool EmulatedOdbcInstaller::SQLConfigDataSource(uint16_t fRequest, const char* lpszDriver,
                                                const char* lpszAttributes) {
  ClearErrors();
  if (fRequest < ODBC_ADD_DSN || fRequest > ODBC_REMOVE_SYS_DSN)
    return Fail(ODBC_ERROR_INVALID_REQUEST_TYPE, "Invalid type of request");
  if (!lpszDriver || !*lpszDriver) return Fail(ODBC_ERROR_INVALID_NAME, "Invalid name");
  const std::string key = std::string(kOdbcInst) + "\\" + lpszDriver;
  if (registry_.OpenKey(RegRoot::LocalMachine, key) != ERROR_SUCCESS)
    return Fail(ODBC_ERROR_COMPONENT_NOT_FOUND, "Component not found in the registry");
  RegValue setup;
  if (registry_.QueryValue(RegRoot::LocalMachine, key, "Setup", setup) != ERROR_SUCCESS ||
      setup.data.size() <= 1)
    return Fail(ODBC_ERROR_LOAD_LIB_FAILED, "Could not load the setup or translator library");
  const uint16_t wSavedMode = wConfigMode_;
  wConfigMode_ = fRequest >= ODBC_ADD_SYS_DSN ? ODBC_SYSTEM_DSN : ODBC_USER_DSN;
  const bool bOk = RunSetupRoutine(fRequest, lpszDriver, lpszAttributes);
  wConfigMode_ = wSavedMode;
  return bOk;
}

bool EmulatedOdbcInstaller::RunSetupRoutine(uint16_t fRequest, const std::string& driver,
                                            const char* lpszAttributes) {
  std::string dsn;
  std::vector<std::pair<std::string, std::string>> attributes;
  for (const std::string& entry : AttributeStrings(lpszAttributes)) {
    const size_t nEqual = entry.find('=');
    if (nEqual == std::string::npos) continue;
    std::string keyword = entry.substr(0, nEqual);
    std::string text = entry.substr(nEqual + 1);
    if (AnsiEqualNoCase(keyword, "DSN"))
      dsn = text;
    else
      attributes.emplace_back(std::move(keyword), std::move(text));
  }
  const bool bAdd = fRequest == ODBC_ADD_DSN || fRequest == ODBC_ADD_SYS_DSN;
  const bool bRemove = fRequest == ODBC_REMOVE_DSN || fRequest == ODBC_REMOVE_SYS_DSN;
  if (!SQLValidDSN(dsn.c_str()))
    return Fail(ODBC_ERROR_INVALID_KEYWORD_VALUE, "Invalid keyword-value pairs");
  const RegRoot root =
      wConfigMode_ == ODBC_SYSTEM_DSN ? RegRoot::LocalMachine : RegRoot::CurrentUser;
  const bool bExists = registry_.OpenKey(root, "SOFTWARE\\ODBC\\ODBC.INI\\" + dsn) == ERROR_SUCCESS;
  if (bRemove) {
    if (!bExists) return Fail(ODBC_ERROR_INVALID_DSN, "Invalid DSN");
    return SQLRemoveDSNFromIni(dsn.c_str());
  }
  if (!bAdd && !bExists) return Fail(ODBC_ERROR_INVALID_DSN, "Invalid DSN");
  if (bAdd && !SQLWriteDSNToIni(dsn.c_str(), driver.c_str())) return false;
  for (const auto& [keyword, text] : attributes)
    if (!SQLWritePrivateProfileString(dsn.c_str(), keyword.c_str(), text.c_str(), "ODBC.INI"))
      return false;
  return true;
}

void EmulatedOdbcInstaller::RemoveDataSourcesOf(const std::string& driver) {
  for (RegRoot root : {RegRoot::CurrentUser, RegRoot::LocalMachine}) {
    const std::string listKey = "SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources";
    std::vector<std::string> names;
    std::string name;
    RegValue value;
    for (uint32_t i = 0; registry_.EnumValue(root, listKey, i, name, value) == ERROR_SUCCESS; ++i)
      if (AnsiEqualNoCase(
              std::string(value.data.begin(), std::find(value.data.begin(), value.data.end(), 0)),
              driver))
        names.push_back(name);
    for (const std::string& dsn : names) {
      registry_.DeleteValue(root, listKey, dsn);
      registry_.DeleteTree(root, "SOFTWARE\\ODBC\\ODBC.INI\\" + dsn);
    }
  }
}

int16_t EmulatedOdbcInstaller::SQLInstallerError(uint16_t iError, uint32_t* pfErrorCode,
                                                 char* lpszErrorMsg, uint16_t cbErrorMsgMax,
                                                 uint16_t* pcbErrorMsg) {
  if (iError == 0) return SQL_ERROR;
  if (iError > errors_.size()) return SQL_NO_DATA;
  const auto& [dwCode, message] = errors_[iError - 1];
  if (pfErrorCode) *pfErrorCode = dwCode;
  if (pcbErrorMsg) *pcbErrorMsg = static_cast<uint16_t>(message.size());
  const bool bWhole =
      lpszErrorMsg && cbErrorMsgMax > 0 && CopyOut(message, lpszErrorMsg, cbErrorMsgMax);
  return bWhole ? SQL_SUCCESS : SQL_SUCCESS_WITH_INFO;
}

bool EmulatedOdbcInstaller::SQLGetConfigMode(uint16_t* pwConfigMode) {
  ClearErrors();
  if (pwConfigMode) *pwConfigMode = wConfigMode_;
  return true;
}

bool EmulatedOdbcInstaller::SQLSetConfigMode(uint16_t wConfigMode) {
  ClearErrors();
  if (wConfigMode > ODBC_SYSTEM_DSN)
    return Fail(ODBC_ERROR_INVALID_PARAM_SEQUENCE, "Invalid parameter sequence");
  wConfigMode_ = wConfigMode;
  return true;
}

}  // namespace platform::emulated
