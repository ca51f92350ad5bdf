// The dispatch is a table of rows (a name test, the handler's kind, when it runs and which file it
// edits), read in order, so the order of the tests is visible in one place.
#include "install/section_dispatch.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string_view>

#include "engine/setup_run.h"
#include "install/install_engine.h"
#include "platform/ansi_case.h"

namespace tarvium {
namespace {

using platform::AnsiEndsWithNoCase;
using platform::AnsiEqualNoCase;

constexpr uint32_t kPlatformDos = 1;

struct SectionNames {
  const std::string& section;
  std::string base;
};

struct RunState {
  const SetupContext& ctx;
  bool bCarryOut;
  bool bConfigure;
  bool bDosBased;
  bool bShell4;  // Windows 4.0 or later
};

bool IsOneOf(std::string_view name, std::initializer_list<std::string_view> names) {
  for (std::string_view candidate : names)
    if (AnsiEqualNoCase(name, candidate)) return true;
  return false;
}

bool IsOdbc(const SectionNames& n) {
  return IsOneOf(n.base, {"ODBC Core", "ODBC Driver", "ODBC Translator", "ODBC DSN",
                          "ODBC System DSN", "ODBC File DSN"});
}
bool IsIp(const SectionNames& n) {
  return IsOneOf(n.base, {"IP Services", "IP Protocols", "IP Networks", "IP Hosts", "IP LMHosts"});
}
bool IsSecurity(const SectionNames& n) {
  return AnsiEqualNoCase(n.base, "Security");
}
bool IsConfigSys(const SectionNames& n) {
  return AnsiEqualNoCase(n.base, "Config.sys") || AnsiEndsWithNoCase(n.section, "Config.sys");
}
bool IsAutoexec(const SectionNames& n) {
  return AnsiEqualNoCase(n.base, "Autoexec.bat") || AnsiEqualNoCase(n.section, "Autoexec.bat") ||
         AnsiEndsWithNoCase(n.section, ".autoexec.bat");
}
bool IsBat(const SectionNames& n) {
  return AnsiEqualNoCase(n.base, "Bat") || AnsiEndsWithNoCase(n.base, ".bat") ||
         AnsiEndsWithNoCase(n.section, ".bat");
}
bool IsNamedIni(const SectionNames& n, std::string_view file) {
  return AnsiEqualNoCase(n.base, file) || AnsiEqualNoCase(n.section, file) ||
         AnsiEndsWithNoCase(n.section, "." + std::string(file));
}
bool IsWinIni(const SectionNames& n) {
  return IsNamedIni(n, "Win.ini");
}
bool IsSystemIni(const SectionNames& n) {
  return IsNamedIni(n, "System.ini");
}
bool IsIni(const SectionNames& n) {
  return AnsiEqualNoCase(n.base, "Ini") || AnsiEndsWithNoCase(n.base, ".ini") ||
         AnsiEndsWithNoCase(n.section, ".ini");
}
bool IsReg(const SectionNames& n) {
  return AnsiEqualNoCase(n.base, "Reg") || AnsiEndsWithNoCase(n.section, ".reg");
}
bool IsProgman(const SectionNames& n) {
  return AnsiEqualNoCase(n.section, "Progman");
}
bool IsShell(const SectionNames& n) {
  return AnsiEqualNoCase(n.base, "Shell");
}

bool PlainWork(const RunState& s) {
  return !s.ctx.bAdminSetup && !s.ctx.bTestRun;
}
bool CarriedWork(const RunState& s) {
  return PlainWork(s) && s.bCarryOut;
}
bool IpWork(const RunState& s) {
  return PlainWork(s) && !s.ctx.bUserPartRun;
}
bool SecurityWork(const RunState& s) {
  return s.bConfigure && !s.bDosBased;
}
bool StartupFileWork(const RunState& s) {
  return CarriedWork(s) && !s.ctx.bUserPartRun;
}
bool Configure(const RunState& s) {
  return s.bConfigure;
}
bool ShellWork(const RunState& s) {
  return !s.ctx.bTestRun && s.bCarryOut && s.bShell4;
}

enum class FileRule { None, ConfigSys, AutoexecBat, Prefixed, WinIni, SystemIni };

struct DispatchRow {
  bool (*matches)(const SectionNames&);
  SectionKind kind;
  bool (*runs)(const RunState&);
  FileRule file;
};

constexpr std::array<DispatchRow, 12> kDispatch = {{
    {IsOdbc, SectionKind::Odbc, PlainWork, FileRule::None},
    {IsIp, SectionKind::IpFiles, IpWork, FileRule::None},
    {IsSecurity, SectionKind::Security, SecurityWork, FileRule::None},
    {IsConfigSys, SectionKind::ConfigSys, StartupFileWork, FileRule::ConfigSys},
    {IsAutoexec, SectionKind::AutoexecBat, Configure, FileRule::AutoexecBat},
    {IsBat, SectionKind::BatchFile, CarriedWork, FileRule::Prefixed},
    {IsWinIni, SectionKind::IniFile, Configure, FileRule::WinIni},
    {IsSystemIni, SectionKind::IniFile, Configure, FileRule::SystemIni},
    {IsIni, SectionKind::IniFile, Configure, FileRule::Prefixed},
    {IsReg, SectionKind::Registry, CarriedWork, FileRule::None},
    {IsProgman, SectionKind::Progman, CarriedWork, FileRule::None},
    {IsShell, SectionKind::Shell, ShellWork, FileRule::None},
}};

// The file in the application directory when it exists there, else the one on drive C.
std::string StartupFile(SetupRun& run, const std::string& name, const std::string& fallback) {
  std::string dir = run.variables.Get("ApplicationDir");
  if (!dir.empty() && dir.back() != '\\') dir += '\\';
  uint32_t dwAttributes = 0;
  if (!dir.empty() && run.machine.Files().GetFileAttributes(dir + name, dwAttributes) == 0)
    return dir + name;
  return fallback;
}

// "Bat:file" and "Ini:file" name their file after the prefix and one separator; otherwise the
// section name, or its base name when that carries the extension itself.
std::string PrefixedFile(const SectionNames& n, std::string_view prefix, std::string_view ext) {
  if (AnsiEqualNoCase(n.base, prefix))
    return n.section.substr(std::min(n.section.size(), prefix.size() + 1));
  return AnsiEndsWithNoCase(n.base, ext) ? n.base : n.section;
}

std::string HandlerFile(SetupRun& run, const DispatchRow& row, const SectionNames& n) {
  switch (row.file) {
    case FileRule::ConfigSys:
      return StartupFile(run, "Config.sys", "c:\\config.sys");
    case FileRule::AutoexecBat:
      return StartupFile(run, "Autoexec.bat", "c:\\autoexec.bat");
    case FileRule::WinIni:
      return "Win.ini";
    case FileRule::SystemIni:
      return "System.ini";
    case FileRule::Prefixed:
      return row.kind == SectionKind::BatchFile ? PrefixedFile(n, "Bat", ".bat")
                                                : PrefixedFile(n, "Ini", ".ini");
    case FileRule::None:
      break;
  }
  return {};
}

// An INI section reached without reference flags is configured whenever the run does real work.
bool Runs(const DispatchRow& row, const RunState& state, const SectionCall& call) {
  if (row.kind == SectionKind::IniFile && call.dwSectionFlags == 0) return CarriedWork(state);
  return row.runs(state);
}

}  // namespace

std::string SectionBaseName(const std::string& section) {
  const size_t nColon = section.rfind(':');
  return nColon == std::string::npos ? section : section.substr(0, nColon);
}

bool IsSpecialSection(const std::string& section) {
  return SpecialSectionKind(section).has_value();
}

std::optional<SectionKind> SpecialSectionKind(const std::string& section) {
  const SectionNames names{section, SectionBaseName(section)};
  for (const DispatchRow& row : kDispatch)
    if (row.matches(names)) return row.kind;
  return std::nullopt;
}

std::optional<bool> DispatchSpecialSection(SetupRun& run, const SectionCall& call,
                                           bool bConfigure) {
  const SectionNames names{call.section, SectionBaseName(call.section)};
  for (const DispatchRow& row : kDispatch) {
    if (!row.matches(names)) continue;
    InstallEngine& engine = EngineOf(run);
    const SectionHandler& handler = engine.handlers[static_cast<size_t>(row.kind)];
    if (engine.bSizing || !handler) return true;
    const platform::OsVersionInfo& os = RunOsVersion(run);
    const RunState state{run.ctx, call.bCarryOut, bConfigure, os.dwPlatformId == kPlatformDos,
                         os.dwMajorVersion >= 4};
    if (!Runs(row, state, call)) return true;
    const HandlerCall handlerCall{call.section, HandlerFile(run, row, names), call.dwSectionFlags,
                                  call.bInstalledBefore, call.bCarryOut};
    return handler(run, handlerCall);
  }
  return std::nullopt;
}

}  // namespace tarvium
