// ODBC sections hand everything to the system's ODBC installer library: the section's lines become
// one attribute list ("key=value" strings, each ended by a zero byte), whose shape depends on the
// kind of section, and the installer keeps its own storage. The library is loaded once per run
// and its version tested once, so a product with many ODBC sections asks at most once about a
// missing or outdated library. A failure shows the installer's own first error, since only the
// installer knows why a driver or data source was refused.
#include "sysconfig/odbc_section.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "engine/show_message.h"
#include "install/install_engine.h"
#include "install/section_counts.h"
#include "platform/ansi_case.h"
#include "platform/odbc_installer.h"
#include "platform/win_error.h"
#include "sysconfig/library_version.h"
#include "sysconfig/section_files.h"

namespace tarvium {
namespace {

using platform::AnsiEqualNoCase;

enum class OdbcKind { Core, Driver, Translator, UserDsn, SystemDsn, FileDsn };

struct OdbcKindName {
  std::string_view name;
  OdbcKind kind;
};

constexpr std::array<OdbcKindName, 6> kKinds = {{
    {"ODBC Core", OdbcKind::Core},
    {"ODBC Driver", OdbcKind::Driver},
    {"ODBC Translator", OdbcKind::Translator},
    {"ODBC DSN", OdbcKind::UserDsn},
    {"ODBC System DSN", OdbcKind::SystemDsn},
    {"ODBC File DSN", OdbcKind::FileDsn},
}};

constexpr size_t kMaxAttributeList = 4096;  // the strings, their zero bytes and the final one
constexpr size_t kMaxValue = 255;
constexpr size_t kMaxErrorText = 511;
constexpr uint16_t kMaxPath = 260;
constexpr uint64_t kMinimumVersion =
    (uint64_t{2} << 48) | (uint64_t{10} << 32) | (uint64_t{24} << 16) | uint64_t{1};  // 2.10.24.01
constexpr const char* kLibraryName = "ODBCCP32.DLL";
constexpr const char* kFileDsnKey = "Software\\ODBC\\ODBC.INI\\ODBC File DSN";

std::optional<OdbcKind> KindOf(const std::string& sectionName) {
  const std::string_view base = std::string_view(sectionName).substr(0, sectionName.find(':'));
  for (const OdbcKindName& entry : kKinds)
    if (AnsiEqualNoCase(base, entry.name)) return entry.kind;
  return std::nullopt;
}

std::string Trimmed(std::string_view text) {
  const size_t nFirst = text.find_first_not_of(" \t");
  if (nFirst == std::string_view::npos) return {};
  const size_t nLast = text.find_last_not_of(" \t\r\n");
  return std::string(text.substr(nFirst, nLast - nFirst + 1));
}

// What the section's lines say: the names the installer is called with and the attribute list.
struct OdbcEntries {
  std::string name;        // DriverName, TranslatorName or DSN
  std::string driverName;  // the driver of a data source
  std::string fileName;    // FileName of a file data source
  std::string installDir;  // the directory of a driver's or translator's file
  std::vector<std::string> attributes;
};

// The attribute list as the installer takes it: the name first for drivers and translators,
// then every entry; strings that would make it longer than 4096 bytes are left out.
std::string AttributeList(OdbcKind kind, const OdbcEntries& entries) {
  std::string list;
  auto add = [&list](const std::string& entry) {
    if (list.size() + entry.size() + 2 <= kMaxAttributeList) list += entry + '\0';
  };
  if ((kind == OdbcKind::Driver || kind == OdbcKind::Translator) && !entries.name.empty())
    add(entries.name);
  for (const std::string& entry : entries.attributes) add(entry);
  return list + '\0';
}

OdbcEntries ReadEntries(SetupRun& run, const std::string& sectionName, OdbcKind kind) {
  OdbcEntries entries;
  const bool bComponent = kind == OdbcKind::Driver || kind == OdbcKind::Translator;
  const char* nameKey = kind == OdbcKind::Translator ? "TranslatorName" : "DriverName";
  const char* fileKey = kind == OdbcKind::Translator ? "Translator" : "Driver";
  ForEachSectionLine(run, sectionName, {}, [&](const std::string& line) {
    const size_t nEqual = line.find('=');
    if (nEqual == std::string::npos) return true;  // lines without '=' are passed over
    const std::string key = Trimmed(std::string_view(line).substr(0, nEqual));
    std::string value = Trimmed(std::string_view(line).substr(nEqual + 1));
    ReplaceVariables(run, value);
    if (value.size() > kMaxValue) value.resize(kMaxValue);
    if (bComponent && AnsiEqualNoCase(key, nameKey)) {
      entries.name = value;
      return true;
    }
    if (bComponent && AnsiEqualNoCase(key, fileKey)) {
      if (const size_t nSlash = value.rfind('\\'); nSlash != std::string::npos) {
        entries.installDir = value.substr(0, nSlash);
        value.erase(0, nSlash + 1);
      }
    } else if (kind == OdbcKind::FileDsn && AnsiEqualNoCase(key, "FileName")) {
      entries.fileName = value;
      return true;
    } else if (!bComponent && AnsiEqualNoCase(key, "DriverName")) {
      entries.driverName = value;
      if (kind != OdbcKind::FileDsn) return true;
    } else if (!bComponent && AnsiEqualNoCase(key, "DSN")) {
      entries.name = value;
    }
    entries.attributes.push_back(key + "=" + value);
    return true;
  });
  // The uninstall pass reads the lines last to first; the list keeps the section's order.
  if (run.ctx.bUninstall) std::reverse(entries.attributes.begin(), entries.attributes.end());
  return entries;
}

void ShowOdbcStatus(SetupRun& run, const std::string& text) {
  if (run.ui) run.ui->ShowStatus(text, {});
}

// Loads the library once per run. False with the answer: Ignore (the section counts as done) or
// not (the section fails).
bool LoadOdbcLibrary(SetupRun& run, bool& bIgnored) {
  InstallEngine& engine = EngineOf(run);
  bIgnored = false;
  if (!engine.bOdbcLoadTried) {
    engine.bOdbcLoadTried = true;
    const uint32_t err = run.machine.Odbc().Load();
    engine.bOdbcLoaded = err == platform::ERROR_SUCCESS;
    if (!engine.bOdbcLoaded) {
      bIgnored = ShowMessage(run, 5520, kLibraryName, int64_t{err}) == kResultIgnore;
      return false;
    }
  }
  if (!engine.bOdbcLoaded) bIgnored = true;  // refused and ignored before: nothing to do
  return engine.bOdbcLoaded;
}

// The installed library must be at least 2.10.24.01; tested once per run, not when removing.
bool OdbcVersionIsRecent(SetupRun& run) {
  InstallEngine& engine = EngineOf(run);
  if (run.ctx.bUninstall) return true;
  if (engine.bOdbcVersionTested) return engine.bOdbcVersionOk;
  engine.bOdbcVersionTested = true;
  uint64_t qwVersion = 0;
  run.machine.Odbc().GetLibraryVersion(qwVersion);
  engine.bOdbcVersionOk =
      LibraryVersionSuffices(run, kLibraryName, "ODBC Installer", qwVersion, kMinimumVersion);
  return engine.bOdbcVersionOk;
}

// The failed operation's message with the installer's first error; Ignore gives success.
bool ReportOdbcFailure(SetupRun& run, const std::string& sectionName) {
  uint32_t dwCode = 0;
  std::array<char, kMaxErrorText + 1> text{};
  uint16_t cbText = 0;
  run.machine.Odbc().SQLInstallerError(1, &dwCode, text.data(), text.size(), &cbText);
  SetupTrace(run, "HandleOdbcSection(%s): error %u %s\n", sectionName.c_str(), dwCode, text.data());
  if (run.ctx.bUninstall && run.ctx.bSilent) return true;
  const int nMessage = run.ctx.bUninstall ? 5571 : 5553;
  return ShowMessage(run, nMessage, sectionName, int64_t{dwCode}, std::string(text.data())) ==
         kResultIgnore;
}

bool RunCore(SetupRun& run, bool bReplaceExisting) {
  ShowOdbcStatus(run, "ODBCINST.INI");
  if (bReplaceExisting) return true;
  platform::OdbcInstaller& odbc = run.machine.Odbc();
  if (run.ctx.bUninstall) {
    uint32_t nUsage = 0;
    return odbc.SQLRemoveDriverManager(&nUsage);
  }
  char path[kMaxPath] = {};
  uint16_t cbPath = 0;
  return odbc.SQLInstallDriverManager(path, kMaxPath, &cbPath);
}

bool RunComponent(SetupRun& run, OdbcKind kind, const OdbcEntries& entries, bool bReplaceExisting) {
  if (entries.name.empty()) return true;
  platform::OdbcInstaller& odbc = run.machine.Odbc();
  const bool bDriver = kind == OdbcKind::Driver;
  uint32_t nUsage = 0;
  auto remove = [&] {
    return bDriver ? odbc.SQLRemoveDriver(entries.name.c_str(), false, &nUsage)
                   : odbc.SQLRemoveTranslator(entries.name.c_str(), &nUsage);
  };
  if (run.ctx.bUninstall) return remove();
  if (bReplaceExisting) remove();  // a driver that is not there yet is no failure
  const std::string list = AttributeList(kind, entries);
  const char* pszDir = entries.installDir.empty() ? nullptr : entries.installDir.c_str();
  char path[kMaxPath] = {};
  uint16_t cbPath = 0;
  if (bDriver) {
    if (odbc.HasEntry("SQLInstallDriverEx"))
      return odbc.SQLInstallDriverEx(list.c_str(), pszDir, path, kMaxPath, &cbPath,
                                     platform::ODBC_INSTALL_COMPLETE, &nUsage);
    return odbc.SQLInstallDriver(nullptr, list.c_str(), path, kMaxPath, &cbPath);
  }
  if (odbc.HasEntry("SQLInstallTranslatorEx"))
    return odbc.SQLInstallTranslatorEx(list.c_str(), pszDir, path, kMaxPath, &cbPath,
                                       platform::ODBC_INSTALL_COMPLETE, &nUsage);
  return odbc.SQLInstallTranslator(nullptr, list.c_str(), pszDir, path, kMaxPath, &cbPath,
                                   platform::ODBC_INSTALL_COMPLETE, &nUsage);
}

bool ConfigureDataSource(SetupRun& run, bool bSystem, const OdbcEntries& entries) {
  if (entries.name.empty() || entries.driverName.empty()) return true;
  uint16_t wRequest = run.ctx.bUninstall ? platform::ODBC_REMOVE_DSN : platform::ODBC_ADD_DSN;
  if (bSystem)
    wRequest = run.ctx.bUninstall ? platform::ODBC_REMOVE_SYS_DSN : platform::ODBC_ADD_SYS_DSN;
  const std::string list =
      AttributeList(bSystem ? OdbcKind::SystemDsn : OdbcKind::UserDsn, entries);
  return run.machine.Odbc().SQLConfigDataSource(wRequest, entries.driverName.c_str(), list.c_str());
}

// The folder of file data sources: DefaultDSNDir, or Common Files\ODBC\Data Sources written
// there when it is empty.
std::string FileDataSourceDir(SetupRun& run) {
  platform::Registry& reg = run.machine.Reg();
  platform::RegValue value;
  std::string dir;
  if (reg.QueryValue(platform::RegRoot::LocalMachine, kFileDsnKey, "DefaultDSNDir", value) ==
      platform::ERROR_SUCCESS)
    dir.assign(value.data.begin(), std::find(value.data.begin(), value.data.end(), 0));
  if (!dir.empty()) return dir;
  dir = run.variables.Get("CommonFilesDir") + "\\ODBC\\Data Sources";
  platform::RegValue text{platform::REG_SZ, {dir.begin(), dir.end()}};
  text.data.push_back(0);
  if (reg.CreateKey(platform::RegRoot::LocalMachine, kFileDsnKey) == platform::ERROR_SUCCESS)
    reg.SetValue(platform::RegRoot::LocalMachine, kFileDsnKey, "DefaultDSNDir", text);
  return dir;
}

bool RunFileDataSource(SetupRun& run, const OdbcEntries& entries) {
  platform::OdbcInstaller& odbc = run.machine.Odbc();
  if (!odbc.HasEntry("SQLWriteFileDSN")) return ConfigureDataSource(run, false, entries);
  if (entries.fileName.empty()) return true;
  std::string path = entries.fileName;
  if (path.size() < 4 || !AnsiEqualNoCase(std::string_view(path).substr(path.size() - 4), ".dsn"))
    path += ".dsn";
  const bool bBare = path.find('\\') == std::string::npos;
  const std::string dir = bBare ? FileDataSourceDir(run) : path.substr(0, path.rfind('\\'));
  if (bBare) path = dir + "\\" + path;
  platform::FileSystem& files = run.machine.Files();
  if (run.ctx.bUninstall) {
    files.DeleteFile(path);
    return true;
  }
  if (!files.DirectoryExists(dir)) files.CreateDirectoryTree(dir);
  for (const std::string& entry : entries.attributes) {
    const size_t nEqual = entry.find('=');
    const std::string key = entry.substr(0, nEqual);
    const std::string value = entry.substr(nEqual + 1);
    if (!odbc.SQLWriteFileDSN(path.c_str(), "ODBC", key.c_str(), value.c_str())) return false;
  }
  return true;
}

// The data sources' sections: counted as shared sections, and changed only with
// configureSources.
std::optional<bool> RunDataSource(SetupRun& run, OdbcKind kind, const OdbcEntries& entries,
                                  bool bConfigureSources) {
  ShowOdbcStatus(run, "ODBC.INI");
  if (!bConfigureSources) return std::nullopt;
  if (kind == OdbcKind::FileDsn) return RunFileDataSource(run, entries);
  return ConfigureDataSource(run, kind == OdbcKind::SystemDsn, entries);
}

// Whether this kind of section does anything in this run's setup.
bool RunsInThisSetup(const SetupContext& ctx, OdbcKind kind) {
  if (kind == OdbcKind::UserDsn) return !IsMachinePartRun(ctx);
  return !ctx.bUserPartRun;
}

}  // namespace

bool IsOdbcSection(const std::string& sectionName) {
  return KindOf(sectionName).has_value();
}

bool HandleOdbcSection(SetupRun& run, const std::string& sectionName, bool bReplaceExisting,
                       bool bConfigureSources) {
  const std::optional<OdbcKind> kind = KindOf(sectionName);
  if (!kind) return true;
  // Text 5003 ("Working on ODBC") would title the main window while the section runs; this
  // build's user interface has no title to change.
  ShowOdbcStatus(run, sectionName);
  if (*kind != OdbcKind::Core && !SectionExists(run, sectionName)) {
    ShowMessage(run, 5529, sectionName);
    return false;
  }
  bool bIgnored = false;
  if (!LoadOdbcLibrary(run, bIgnored)) return bIgnored;
  if (!OdbcVersionIsRecent(run)) return false;
  if (!RunsInThisSetup(run.ctx, *kind)) return true;
  const bool bDataSource =
      *kind == OdbcKind::UserDsn || *kind == OdbcKind::SystemDsn || *kind == OdbcKind::FileDsn;
  if (bDataSource && !StepSectionCount(run, sectionName)) return true;
  const OdbcEntries entries = ReadEntries(run, sectionName, *kind);
  bool bOk = true;
  switch (*kind) {
    case OdbcKind::Core:
      bOk = RunCore(run, bReplaceExisting);
      break;
    case OdbcKind::Driver:
    case OdbcKind::Translator:
      bOk = RunComponent(run, *kind, entries, bReplaceExisting);
      break;
    default:
      bOk = RunDataSource(run, *kind, entries, bConfigureSources).value_or(true);
      break;
  }
  return bOk || ReportOdbcFailure(run, sectionName);
}

}  // namespace tarvium
