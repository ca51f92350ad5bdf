// The ODBC installer's conformance cases (the installer library's own test suite, ported as data)
// run against any backend of OdbcInstaller with the registry it keeps its storage in: the emulated
// machine's on Linux, the system's under Wine. Each row is one checked behaviour; the rows of a
// group run in order because later rows build on what earlier ones wrote, as in the original.
// Cases of wide-character variants and of functions a setup never calls (driver configuration)
// are not ported.
#pragma once
#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/odbc_installer.h"
#include "platform/registry.h"

namespace tarvium::test {

struct OdbcOracleResult {
  std::string name;  // "group: case"
  bool bPassed = false;
  bool bSkipped = false;  // not run: the library at hand would not survive it
};

class OdbcOracle {
 public:
  OdbcOracle(platform::OdbcInstaller& odbc, platform::Registry& reg, std::string systemDir)
      : odbc_(odbc), reg_(reg), systemDir_(std::move(systemDir)) {}

  // Cases ("group: case") that are reported as skipped instead of run, because the library at
  // hand crashes on them.
  void Skip(std::vector<std::string> names) { skipped_ = std::move(names); }

  std::vector<OdbcOracleResult> Run() {
    results_.clear();
    ConfigMode();
    InstallerError();
    DriverManager();
    WriteProfile();
    GetProfile();
    ProfileModes();
    DriversAndTranslators();
    InstalledDrivers();
    ValidDsn();
    DataSources();
    return results_;
  }

 private:
  using Row = std::pair<const char*, std::function<bool()>>;
  void Group(const char* group, std::initializer_list<Row> rows) {
    for (const auto& [name, check] : rows) {
      const std::string caseName = std::string(group) + ": " + name;
      if (std::find(skipped_.begin(), skipped_.end(), caseName) != skipped_.end())
        results_.push_back({caseName, false, true});
      else
        results_.push_back({caseName, check()});
    }
  }

  uint32_t Error(int16_t* pRet = nullptr, uint16_t iError = 1) {
    uint32_t dwCode = 0;
    const int16_t ret = odbc_.SQLInstallerError(iError, &dwCode, nullptr, 0, nullptr);
    if (pRet) *pRet = ret;
    return ret == platform::SQL_NO_DATA ? 0 : dwCode;
  }
  bool NoError() {
    int16_t ret = 0;
    return Error(&ret) == 0 && ret == platform::SQL_NO_DATA;
  }
  std::string RegText(platform::RegRoot root, const std::string& key, const char* name,
                      uint32_t* pType = nullptr) {
    platform::RegValue value;
    if (reg_.QueryValue(root, key, name, value) != 0) return "<none>";
    if (pType) *pType = value.dwType;
    return std::string(value.data.begin(), std::find(value.data.begin(), value.data.end(), 0));
  }
  bool HasKey(platform::RegRoot root, const std::string& key) {
    return reg_.OpenKey(root, key) == 0;
  }
  bool DeleteKey(platform::RegRoot root, const std::string& key) {
    return reg_.DeleteTree(root, key) == 0;
  }
  int Get(const char* section, const char* entry, const char* def, char* buffer, int cb,
          const char* file) {
    return odbc_.SQLGetPrivateProfileString(section, entry, def, buffer, cb, file);
  }

  void ConfigMode() {
    uint16_t wMode = 99;
    Group("SQLConfigMode",
          {{"null pointer accepted", [&] { return odbc_.SQLGetConfigMode(nullptr); }},
           {"starts as both", [&] { return odbc_.SQLGetConfigMode(&wMode) && wMode == 0; }},
           {"invalid mode refused",
            [&] {
              return !odbc_.SQLSetConfigMode(3) &&
                     Error() == platform::ODBC_ERROR_INVALID_PARAM_SEQUENCE;
            }},
           {"system, user, both set and read back", [&] {
              for (uint16_t w : {2, 1, 0})
                if (!odbc_.SQLSetConfigMode(w) || !odbc_.SQLGetConfigMode(&wMode) || wMode != w)
                  return false;
              return true;
            }}});
  }

  void InstallerError() {
    Group("SQLInstallerError",
          {{"error 0 is an error",
            [&] { return odbc_.SQLInstallerError(0, nullptr, nullptr, 0, nullptr) == -1; }},
           {"error past 8 is no data",
            [&] { return odbc_.SQLInstallerError(65535, nullptr, nullptr, 0, nullptr) == 100; }},
           {"a failure queues one error",
            [&] {
              return !odbc_.SQLGetInstalledDrivers(nullptr, 0, nullptr) &&
                     odbc_.SQLInstallerError(2, nullptr, nullptr, 0, nullptr) == 100;
            }},
           {"null pointers accepted", [&] {
              return odbc_.SQLInstallerError(1, nullptr, nullptr, 0, nullptr) ==
                     platform::SQL_SUCCESS_WITH_INFO;
            }}});
  }

  void DriverManager() {
    char path[260];
    uint16_t out = 0xcafe;
    Group("SQLInstallDriverManager",
          {{"no buffer",
            [&] {
              return !odbc_.SQLInstallDriverManager(nullptr, 0, nullptr) &&
                     Error() == platform::ODBC_ERROR_INVALID_BUFF_LEN;
            }},
           {"buffer shorter than MAX_PATH",
            [&] {
              return !odbc_.SQLInstallDriverManager(path, 130, nullptr) &&
                     Error() == platform::ODBC_ERROR_INVALID_BUFF_LEN;
            }},
           {"short buffer leaves the length",
            [&] { return !odbc_.SQLInstallDriverManager(path, 130, &out) && out == 0xcafe; }},
           {"MAX_PATH without length",
            [&] { return odbc_.SQLInstallDriverManager(path, 260, nullptr) && NoError(); }},
           {"MAX_PATH with length", [&] {
              return odbc_.SQLInstallDriverManager(path, 260, &out) && NoError() && out != 0xcafe;
            }}});
    uint32_t nUsage = 0;
    odbc_.SQLRemoveDriverManager(&nUsage);
    odbc_.SQLRemoveDriverManager(&nUsage);
  }

  void WriteProfile() {
    const std::string odbcKey = "Software\\ODBC\\ODBC.INI\\wineodbc";
    Group("SQLWritePrivateProfileString",
          {{"empty file name",
            [&] {
              return !odbc_.SQLWritePrivateProfileString("wineodbc", "testing", "value", "") &&
                     Error() == platform::ODBC_ERROR_INVALID_STR;
            }},
           {"no file name",
            [&] {
              return !odbc_.SQLWritePrivateProfileString("wineodbc", "testing", "value", nullptr) &&
                     Error() == platform::ODBC_ERROR_INVALID_STR;
            }},
           {"odbc.ini is the user's key; a null value deletes the entry",
            [&] {
              const bool bOk =
                  odbc_.SQLWritePrivateProfileString("wineodbc", "testing", "value", "odbc.ini") &&
                  odbc_.SQLWritePrivateProfileString("wineodbc", "testing", nullptr, "odbc.ini") &&
                  HasKey(platform::RegRoot::CurrentUser, odbcKey) &&
                  RegText(platform::RegRoot::CurrentUser, odbcKey, "testing") == "<none>";
              return DeleteKey(platform::RegRoot::CurrentUser, odbcKey) && bOk;
            }},
           {"another file is a key of its own", [&] {
              const bool bOk =
                  odbc_.SQLWritePrivateProfileString("wineodbc", "testing", "value", "abcd.ini") &&
                  HasKey(platform::RegRoot::CurrentUser, "Software\\ODBC\\abcd.INI\\wineodbc");
              return DeleteKey(platform::RegRoot::CurrentUser, "Software\\ODBC\\abcd.INI") && bOk;
            }}});
  }

  void GetProfile() {
    char buffer[256] = {};
    auto is = [&](const char* text) { return std::strcmp(buffer, text) == 0; };
    auto set = [&](const char* text) { std::strcpy(buffer, text); };
    Group("SQLGetPrivateProfileString",
          {{"no section",
            [&] {
              set("wine");
              return Get(nullptr, "testing", "default", buffer, 256, "ODBC.INI") == 0 && is("");
            }},
           {"no entry of a missing section",
            [&] {
              set("wine");
              return Get("wineodbc", nullptr, "default", buffer, 256, "ODBC.INI") == 0 && is("");
            }},
           {"no default",
            [&] {
              set("value");
              return Get("wineodbc", "testing", nullptr, buffer, 256, "ODBC.INI") == 0 && is("");
            }},
           {"the default",
            [&] {
              return Get("wineodbc", "testing", "defaultX", buffer, 256, "ODBC.INI") == 8 &&
                     is("defaultX");
            }},
           {"the default cut to 4",
            [&] {
              return Get("wineodbc", "testing", "defaultX", buffer, 4, "ODBC.INI") == 3 &&
                     is("def");
            }},
           {"the default cut to 8",
            [&] {
              return Get("wineodbc", "testing", "defaultX", buffer, 8, "ODBC.INI") == 7 &&
                     is("default");
            }},
           {"no buffer",
            [&] { return Get("wineodbc", "testing", "defaultX", nullptr, 256, "ODBC.INI") == 0; }},
           {"empty buffer left alone",
            [&] {
              set("value");
              return Get("wineodbc", "testing", "defaultX", buffer, 0, "ODBC.INI") == 0 &&
                     is("value");
            }},
           {"a written value",
            [&] {
              return odbc_.SQLWritePrivateProfileString("wineodbc", "testing", "value0123456789",
                                                        "abcd.ini") &&
                     Get("wineodbc", "testing", "defaultY", buffer, 256, "abcd.ini") == 15 &&
                     is("value0123456789");
            }},
           {"a written value, no buffer",
            [&] { return Get("wineodbc", "testing", "defaultY", nullptr, 0, "abcd.ini") == 0; }},
           {"a written value cut to 7",
            [&] { return Get("wineodbc", "testing", "defaultY", buffer, 7, "abcd.ini") == 6; }},
           {"the entries of a section",
            [&] {
              set("wine");
              return Get("wineodbc", nullptr, "", buffer, 10, "abcd.ini") == 8 && is("testing");
            }},
           {"two entries",
            [&] {
              set("wine");
              return odbc_.SQLWritePrivateProfileString("wineodbc", "value", "0", "abcd.ini") &&
                     Get("wineodbc", nullptr, "", buffer, 256, "abcd.ini") == 14 &&
                     std::memcmp(buffer, "testing\0value\0", 14) == 0;
            }},
           {"only whole entries, the rest cleared",
            [&] {
              set("XXXXXXXXXXXXXXX");
              return Get("wineodbc", nullptr, "", buffer, 10, "abcd.ini") == 8 && is("testing") &&
                     std::memcmp(buffer, "testing\0X", 9) != 0;
            }},
           {"no whole entry fits", [&] {
              set("wine");
              const bool bOk = Get("wineodbc", nullptr, "", buffer, 2, "abcd.ini") == 0;
              return DeleteKey(platform::RegRoot::CurrentUser, "Software\\ODBC\\abcd.INI") && bOk;
            }}});
  }

  void ProfileModes() {
    using platform::RegRoot;
    char buffer[256] = {};
    const std::string wineodbc = "Software\\ODBC\\ODBC.INI\\wineodbc";
    const std::string wineodbc1 = "Software\\ODBC\\ODBC.INI\\wineodbc1";
    auto mode = [&](uint16_t w) { return odbc_.SQLSetConfigMode(w); };
    auto write = [&](const char* section, const char* value, const char* file = "ODBC.INI") {
      return odbc_.SQLWritePrivateProfileString(section, "testing", value, file);
    };
    auto list = [&](const char* file = "ODBC.INI") {
      return Get("wineodbc", nullptr, "", buffer, 256, file);
    };
    auto value1 = [&] {
      return Get("wineodbc1", "testing", "", buffer, 256, "ODBC.INI") > 0 ? std::string(buffer)
                                                                          : std::string();
    };
    Group("configuration modes",
          {{"system mode writes the machine's",
            [&] {
              return mode(2) && write("wineodbc", "value") && write("wineodbc1", "systemdsn") &&
                     list() > 0 && HasKey(RegRoot::LocalMachine, wineodbc);
            }},
           {"user mode does not read the machine's",
            [&] { return mode(1) && list() == 0 && write("wineodbc1", "userdsn"); }},
           {"both reads the machine's", [&] { return mode(0) && list() > 0; }},
           {"both writes the user's existing section first",
            [&] {
              return DeleteKey(RegRoot::LocalMachine, wineodbc) && write("wineodbc1", "bothdsn") &&
                     mode(2) && value1() == "systemdsn" &&
                     DeleteKey(RegRoot::CurrentUser, wineodbc1) &&
                     DeleteKey(RegRoot::LocalMachine, wineodbc1);
            }},
           {"both writes the user's when neither has it",
            [&] {
              return mode(0) && write("wineodbc1", "userwrite") && mode(1) &&
                     value1() == "userwrite" && DeleteKey(RegRoot::CurrentUser, wineodbc1);
            }},
           {"ODBCINST.INI is the machine's in user mode",
            [&] {
              return mode(1) && write("wineodbc", "value") && list() > 0 &&
                     write("wineodbc", "value", "ODBCINST.INI") && list("ODBCINST.INI") > 0 &&
                     DeleteKey(RegRoot::LocalMachine, "Software\\ODBC\\ODBCINST.INI\\wineodbc");
            }},
           {"system mode does not read the user's", [&] { return mode(2) && list() == 0; }},
           {"both reads the user's", [&] {
              const bool bOk = mode(0) && list() > 0;
              return DeleteKey(RegRoot::CurrentUser, wineodbc) && bOk;
            }}});
  }

  void DriversAndTranslators() {
    using platform::RegRoot;
    char path[260] = {};
    uint16_t size = 0;
    uint32_t nCount = 100;
    auto installDriver = [&](const char* attributes, const char* dir) {
      return odbc_.SQLInstallDriverEx(attributes, dir, path, 260, &size,
                                      platform::ODBC_INSTALL_COMPLETE, nullptr);
    };
    auto installTranslator = [&](const char* attributes, const char* dir) {
      return odbc_.SQLInstallTranslatorEx(attributes, dir, path, 260, &size,
                                          platform::ODBC_INSTALL_COMPLETE, nullptr);
    };
    const std::string inst = "Software\\ODBC\\ODBCINST.INI\\";
    Group("SQLInstallDriverEx",
          {{"into the system directory",
            [&] {
              return installDriver("WINE ODBC Driver\0Driver=sample.dll\0Setup=sample.dll\0\0",
                                   nullptr) &&
                     NoError() && path == systemDir_;
            }},
           {"into a given directory",
            [&] {
              return installDriver("WINE ODBC Driver Path\0Driver=sample.dll\0Setup=sample.dll\0\0",
                                   "c:\\temp") &&
                     NoError() && std::string(path) == "c:\\temp";
            }},
           {"the driver's file with its directory",
            [&] {
              uint32_t dwType = 0;
              return RegText(RegRoot::LocalMachine, inst + "WINE ODBC Driver", "Driver", &dwType) ==
                         systemDir_ + "\\sample.dll" &&
                     dwType == platform::REG_SZ;
            }},
           {"removed by its last user", [&] {
              bool bOk = odbc_.SQLRemoveDriver("WINE ODBC Driver", false, &nCount) && nCount == 0;
              nCount = 100;
              return odbc_.SQLRemoveDriver("WINE ODBC Driver Path", false, &nCount) &&
                     nCount == 0 && bOk;
            }}});
    Group("SQLInstallTranslatorEx",
          {{"into the system directory",
            [&] {
              return installTranslator(
                         "WINE ODBC Translator\0Translator=sample.dll\0Setup=sample.dll\0",
                         nullptr) &&
                     NoError() && path == systemDir_ && size == systemDir_.size();
            }},
           {"into a given directory",
            [&] {
              return installTranslator(
                         "WINE ODBC Translator Path\0Translator=sample.dll\0Setup=sample.dll\0",
                         "c:\\temp") &&
                     NoError() && std::string(path) == "c:\\temp" && size == 7;
            }},
           {"the translator's file with its directory",
            [&] {
              return RegText(RegRoot::LocalMachine, inst + "WINE ODBC Translator", "Translator") ==
                     systemDir_ + "\\sample.dll";
            }},
           {"removed by its last user",
            [&] {
              nCount = 100;
              bool bOk = odbc_.SQLRemoveTranslator("WINE ODBC Translator", &nCount) && nCount == 0;
              nCount = 100;
              return odbc_.SQLRemoveTranslator("WINE ODBC Translator Path", &nCount) &&
                     nCount == 0 && bOk;
            }},
           {"an unknown translator", [&] {
              nCount = 100;
              return !odbc_.SQLRemoveTranslator("WINE ODBC Translator NonExist", &nCount) &&
                     nCount == 100 && Error() == platform::ODBC_ERROR_COMPONENT_NOT_FOUND;
            }}});
  }

  void InstalledDrivers() {
    char buffer[1000] = {};
    uint16_t written = 0;
    size_t len = 0;
    auto doubleZero = [&](size_t n) { return buffer[n - 1] == 0 && buffer[n - 2] == 0; };
    auto cut = [&](size_t cb, size_t expected) {
      return odbc_.SQLGetInstalledDrivers(buffer, cb, &written) &&
             std::strlen(buffer) == expected && written == cb && buffer[cb - 1] == 0;
    };
    odbc_.SQLInstallDriverEx("Wine test\0Driver=test.dll\0\0", nullptr, buffer, sizeof(buffer),
                             &written, platform::ODBC_INSTALL_COMPLETE, nullptr);
    Group("SQLGetInstalledDrivers",
          {{"no buffer",
            [&] {
              return !odbc_.SQLGetInstalledDrivers(nullptr, sizeof(buffer), &written) &&
                     Error() == platform::ODBC_ERROR_INVALID_BUFF_LEN;
            }},
           {"empty buffer",
            [&] {
              return !odbc_.SQLGetInstalledDrivers(buffer, 0, &written) &&
                     Error() == platform::ODBC_ERROR_INVALID_BUFF_LEN;
            }},
           {"cut to 10 without a length",
            [&] {
              return odbc_.SQLGetInstalledDrivers(buffer, 10, nullptr) &&
                     std::strlen(buffer) == 8 && buffer[9] == 0;
            }},
           {"cut to 10", [&] { return cut(10, 8); }},
           {"the whole list names the driver",
            [&] {
              if (!odbc_.SQLGetInstalledDrivers(buffer, sizeof(buffer), &written) ||
                  !doubleZero(written))
                return false;
              len = std::strlen(buffer);
              for (const char* p = buffer; *p; p += std::strlen(p) + 1)
                if (std::strcmp(p, "Wine test") == 0) return true;
              return false;
            }},
           {"cut to the first name's length", [&] { return cut(len, len - 2); }},
           {"cut to one more", [&] { return cut(len + 1, len - 1); }},
           {"two more", [&] {
              const bool bOk = odbc_.SQLGetInstalledDrivers(buffer, len + 2, &written) &&
                               std::strlen(buffer) == len && written == len + 2 && !buffer[len + 1];
              odbc_.SQLRemoveDriver("Wine test", true, nullptr);
              return bOk;
            }}});
  }

  void ValidDsn() {
    Group("SQLValidDSN",
          {{"null", [&] { return !odbc_.SQLValidDSN(nullptr); }},
           {"each reserved character",
            [&] {
              for (const char* c = "[]{}(),;?*=!@\\"; *c; ++c) {
                char name[] = "wine10";
                name[4] = *c;
                if (odbc_.SQLValidDSN(name)) return false;
              }
              return true;
            }},
           {"too long", [&] { return !odbc_.SQLValidDSN("Wine123456789012345678901234567890"); }},
           {"with a space", [&] { return odbc_.SQLValidDSN("Wine Vinegar"); }},
           {"32 characters", [&] { return odbc_.SQLValidDSN("12345678901234567890123456789012"); }},
           {"empty", [&] { return !odbc_.SQLValidDSN(""); }}});
  }

  void DataSources() {
    using platform::RegRoot;
    const std::string sources = "Software\\ODBC\\ODBC.INI\\ODBC Data Sources";
    auto written = [&](const char* dsn, const char* driver, bool bDriverKnown) {
      uint32_t dwType = 0;
      const std::string driverFile =
          RegText(RegRoot::LocalMachine, std::string("Software\\ODBC\\ODBC.INI\\") + dsn, "driver",
                  &dwType);
      return RegText(RegRoot::LocalMachine, sources, dsn) == driver && dwType == platform::REG_SZ &&
             (bDriverKnown || driverFile.empty());
    };
    Group("SQLConfigDataSource", {{"an unknown driver", [&] {
                                     return !odbc_.SQLConfigDataSource(
                                                platform::ODBC_ADD_DSN, "ODBC driver",
                                                "DSN=ODBC data source\0\0") &&
                                            Error() == platform::ODBC_ERROR_COMPONENT_NOT_FOUND;
                                   }}});
    odbc_.SQLSetConfigMode(platform::ODBC_SYSTEM_DSN);
    Group("SQLWriteDSNToIni",
          {{"an empty name is not removed", [&] { return !odbc_.SQLRemoveDSNFromIni(""); }},
           {"a system data source of an unknown driver",
            [&] {
              return odbc_.SQLWriteDSNToIni("wine_mis", "Missing Access Driver (*.mis)") &&
                     written("wine_mis", "Missing Access Driver (*.mis)", false);
            }},
           {"removed", [&] {
              return odbc_.SQLRemoveDSNFromIni("wine_mis") &&
                     !HasKey(RegRoot::LocalMachine, "Software\\ODBC\\ODBC.INI\\wine_mis");
            }}});
    odbc_.SQLSetConfigMode(platform::ODBC_BOTH_DSN);
  }

  platform::OdbcInstaller& odbc_;
  platform::Registry& reg_;
  std::string systemDir_;
  std::vector<std::string> skipped_;
  std::vector<OdbcOracleResult> results_;
};

}  // namespace tarvium::test
