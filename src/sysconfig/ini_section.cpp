// A section runs its lines through one IniSectionRun, which knows the section's own file and how
// it is shown. Each line is parsed (ini_lines), tested against the run mode, prepared (created,
// read-only cleared) and applied by the file's rule: list merges and device lines of Win.ini and
// System.ini, the Win.ini profile functions, or the private profile functions for any other file.
#include "sysconfig/ini_section.h"

#include "engine/pump_messages.h"
#include "engine/registry_operations.h"
#include "engine/replace_variables.h"
#include "engine/run_plan.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "engine/show_message.h"
#include "install/copy_flags.h"
#include "install/flag_applicability.h"
#include "install/section_counts.h"
#include "install/shared_files.h"
#include "platform/ansi_case.h"
#include "platform/win_error.h"
#include "sysconfig/ini_lines.h"
#include "sysconfig/section_files.h"

namespace tarvium {
namespace {

using platform::AnsiEqualNoCase;

constexpr int kResultIgnore = 5;
constexpr uint32_t kPlatformNt = 2;
constexpr uint32_t kWinIniBroadcastMs = 1000;
constexpr size_t kCaptionSize = 256;
constexpr const char* kIniFileMappingKey =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\IniFileMapping";

struct IniSectionRun {
  SetupRun& run;
  std::string section;
  std::string windowsDir;  // without trailing '\'
  std::string filePath;    // the section's own file
  std::string displayName;
  uint32_t dwSectionFlags = 0;
};

std::string WindowsDirectory(SetupRun& run) {
  std::string dir;
  run.machine.System().GetSpecialFolder(platform::SpecialFolder::Windows, dir);
  while (!dir.empty() && dir.back() == '\\') dir.pop_back();
  return dir;
}

bool LiesIn(const std::string& path, std::string dir) {
  while (!dir.empty() && dir.back() == '\\') dir.pop_back();
  return !dir.empty() && platform::AnsiStartsWithNoCase(path, dir + "\\");
}

// Sections reached without flags change a file only where this run's kind of setup may: the
// user profile in runs where a CLIENT entry applies, the application directory outside client
// setups, anything else only in a plain setup.
bool FileSuitsRunMode(IniSectionRun& s, const std::string& path) {
  if (s.dwSectionFlags != 0) return true;
  SetupRun& run = s.run;
  std::string profile;
  run.machine.System().GetSpecialFolder(platform::SpecialFolder::UserProfile, profile);
  if (LiesIn(path, profile)) return FlagsApplyToRun(run, COPY_CLIENT, FlagForm::Reference);
  if (LiesIn(path, run.variables.Get("ApplicationDir"))) return !run.ctx.bClientSetup;
  return !run.ctx.bAdminSetup && !run.ctx.bClientSetup;
}

bool IsFile(const std::string& path, std::string_view name) {
  return AnsiEqualNoCase(IniFileBaseName(path), name);
}

std::string LinePath(IniSectionRun& s, IniLineEdit& edit) {
  if (!edit.bQuoted) return s.filePath;
  ReplaceVariables(s.run, edit.file);
  const std::string file = NormalizeIniFileName(edit.file);
  return file.find('\\') == std::string::npos ? s.windowsDir + "\\" + file : file;
}

const char* ValueOrDelete(const IniLineEdit& edit) {
  return edit.bDelete ? nullptr : edit.value.c_str();
}

void RequestWindowsRestart(SetupRun& run) {
  run.ctx.bRestartWindows = true;
}

// The `device` lines of [386Enh] in System.ini: several may stand side by side.
bool ApplyDeviceLine(IniSectionRun& s, const IniLineEdit& edit, const std::string& path) {
  if (edit.bDelete) {
    RequestWindowsRestart(s.run);
    return IniRemoveLine(s.run, edit.section, edit.key, edit.value, path);
  }
  bool bAdded = false;
  if (!IniAddLine(s.run, edit.section, edit.key, edit.value, path, bAdded)) return false;
  if (bAdded) RequestWindowsRestart(s.run);
  return true;
}

void MergeListEntry(IniSectionRun& s, const IniLineEdit& edit, const std::string& path,
                    bool bWinIni) {
  platform::Profile& profile = s.run.machine.Profiles();
  const char* section = edit.section.c_str();
  const char* key = edit.key.c_str();
  std::string current = bWinIni ? profile.GetProfileString(section, key, "")
                                : profile.GetPrivateProfileString(section, key, "", path);
  current.resize(std::min<size_t>(current.size(), 255));
  const std::string merged = MergeProgramList(current, edit.value, !edit.bDelete);
  if (bWinIni)
    profile.WriteProfileString(section, key, merged.c_str());
  else
    profile.WritePrivateProfileString(section, key, merged.c_str(), path);
}

void WriteEntry(IniSectionRun& s, const IniLineEdit& edit, const std::string& path, bool bWinIni) {
  platform::Profile& profile = s.run.machine.Profiles();
  const char* key = edit.bHasKey ? edit.key.c_str() : nullptr;
  const char* value = edit.bHasKey ? ValueOrDelete(edit) : nullptr;
  if (bWinIni)
    profile.WriteProfileString(edit.section.c_str(), key, value);
  else
    profile.WritePrivateProfileString(edit.section.c_str(), key, value, path);
}

// Maps an application's INI file to the registry when the product asks for it. The system's own
// files stay files: Win.ini, changed through the Win.ini profile functions, and System.ini.
void MapIniFileToRegistry(IniSectionRun& s, const std::string& path) {
  SetupRun& run = s.run;
  if (!run.ctx.bAutoIniFileMapping || run.machine.System().OsVersion().dwPlatformId != kPlatformNt)
    return;
  if (!platform::AnsiEndsWithNoCase(path, ".ini") || IsFile(path, "System.ini") ||
      IsFile(path, "Win.ini"))
    return;
  std::string base(IniFileBaseName(path));
  base.resize(base.size() - 4);
  const std::string target = "!#USR:Software\\" + run.variables.Get("DeveloperName") + "\\" +
                             run.variables.Get("ProductName") + "\\" + base;
  RegWriteText(run, platform::RegRoot::LocalMachine, std::string(kIniFileMappingKey) + "\\" + base,
               "", target);
}

// After a removal in an uninstall pass: the section without keys goes, and a file left empty
// goes with the directories that became empty.
void RemoveEmptyRemains(IniSectionRun& s, const std::string& section, const std::string& path,
                        bool bWinIni) {
  platform::Profile& profile = s.run.machine.Profiles();
  if (bWinIni) {
    if (profile.GetProfileString(section.c_str(), nullptr, "").empty())
      profile.WriteProfileString(section.c_str(), nullptr, nullptr);
    return;
  }
  if (!profile.GetPrivateProfileString(section.c_str(), nullptr, "", path).empty()) return;
  profile.WritePrivateProfileString(section.c_str(), nullptr, nullptr, path);
  profile.WritePrivateProfileString(nullptr, nullptr, nullptr, path);
  platform::FileSystem& files = s.run.machine.Files();
  std::string text;
  if (files.ReadWholeFile(path, text) != platform::ERROR_SUCCESS || !text.empty()) return;
  RemoveInstalledFile(s.run, path);  // with the folders it leaves empty, never protected ones
}

// rule: how the line was applied, for the plan.
bool ApplyChange(IniSectionRun& s, const IniLineEdit& edit, const std::string& path,
                 std::string& rule) {
  const bool bSystemIni = IsFile(path, "System.ini");
  const bool bWinIni = IsFile(path, "Win.ini");
  const bool bHasValue = edit.bHasKey;
  if (bSystemIni && bHasValue && AnsiEqualNoCase(edit.section, "386Enh") &&
      AnsiEqualNoCase(edit.key, "device") && (edit.bDelete || !edit.value.empty())) {
    if (!ApplyDeviceLine(s, edit, path)) return false;
    rule = "a device line of System.ini, beside the others";
  } else if (bSystemIni && bHasValue && AnsiEqualNoCase(edit.section, "boot") &&
             AnsiEqualNoCase(edit.key, "drivers")) {
    MergeListEntry(s, edit, path, false);
    RequestWindowsRestart(s.run);
    rule = "merged into the list of drivers";
  } else if (bWinIni && bHasValue && AnsiEqualNoCase(edit.section, "windows") &&
             (AnsiEqualNoCase(edit.key, "load") || AnsiEqualNoCase(edit.key, "run"))) {
    MergeListEntry(s, edit, path, true);
    rule = "merged into the list of programs";
  } else {
    WriteEntry(s, edit, path, bWinIni);
    if (bSystemIni) RequestWindowsRestart(s.run);
  }
  if (bWinIni && AnsiEqualNoCase(edit.section, "windows"))
    s.run.machine.Broadcasts().BroadcastSettingChange(edit.section, kWinIniBroadcastMs);
  if (edit.bDelete && s.run.ctx.bUninstall) RemoveEmptyRemains(s, edit.section, path, bWinIni);
  if (!edit.bDelete) MapIniFileToRegistry(s, path);
  return true;
}

std::string PlanSubject(const IniLineEdit& edit, const std::string& path) {
  std::string subject = path + ": [" + edit.section + "]";
  if (edit.bHasKey) subject += " " + edit.key;
  if (edit.bHasKey && !edit.bDelete) subject += "=" + edit.value;
  return subject;
}

// Prepares the file (created, or in an uninstall pass turned into a deletion) and applies the
// change with a read-only file made writable for the time of it.
bool ApplyIniLine(IniSectionRun& s, const std::string& line) {
  std::optional<IniLineEdit> parsed = ParseIniLine(line);
  if (!parsed) return true;
  IniLineEdit& edit = *parsed;
  ReplaceVariables(s.run, edit.section);
  ReplaceVariables(s.run, edit.key);
  ReplaceVariables(s.run, edit.value);
  TrimIniLineParts(edit);
  const std::string path = LinePath(s, edit);
  const auto skip = [&](const char* pszReason) {
    if (s.run.plan) NotePlan(s.run, "ini", PlanSubject(edit, path), "skip", pszReason);
    return true;
  };
  if (!FileSuitsRunMode(s, path)) return skip("this kind of setup leaves the file alone");
  platform::FileSystem& files = s.run.machine.Files();
  if (s.run.ctx.bUninstall) {
    if (edit.bDelete) return skip("the removal does not undo a delete line");
    if (!files.FileExists(path)) return skip("the file is not there");
    edit.bDelete = true;
  } else if (!CreateFileIfMissing(s.run, path)) {
    return false;
  }
  uint32_t dwAttributes = 0;
  const bool bReadOnly = files.GetFileAttributes(path, dwAttributes) == platform::ERROR_SUCCESS &&
                         (dwAttributes & platform::FILE_ATTRIBUTE_READONLY);
  if (bReadOnly) files.SetFileAttributes(path, platform::FILE_ATTRIBUTE_NORMAL);
  std::string rule = edit.bHasKey ? "" : "the whole section";
  const size_t nChangesBefore = s.run.plan ? s.run.plan->ChangeCount() : 0;
  const bool bOk = ApplyChange(s, edit, path, rule);
  const bool bChanged = !s.run.plan || s.run.plan->ChangeCount() != nChangesBefore;
  if (bReadOnly && files.FileExists(path)) files.SetFileAttributes(path, dwAttributes);
  if (bOk && !bChanged) rule = s.run.ctx.bUninstall ? "the line is not there" : "the line is there";
  const char* pszDecision = !bOk                   ? "failed"
                            : !bChanged            ? "keep"
                            : s.run.ctx.bUninstall ? "remove"
                            : edit.bDelete         ? "delete"
                                                   : "set";
  if (s.run.plan) NotePlan(s.run, "ini", PlanSubject(edit, path), pszDecision, std::move(rule));
  return bOk;
}

bool RunIniLines(IniSectionRun& s) {
  return ForEachSectionLine(s.run, s.section, {"Caption", "Path"}, [&](const std::string& line) {
    if (!ApplyIniLine(s, line)) return ShowMessage(s.run, 5515, s.displayName) == kResultIgnore;
    return PumpWindowMessages(s.run);
  });
}

}  // namespace

std::string IniFileOfSection(const std::string& name) {
  const size_t nDot = name.find('.');
  if (nDot == std::string::npos) return name + ".ini";
  const std::string after = name.substr(nDot + 1);
  if (after.size() > 3 && after.find('.') != std::string::npos) return after;
  return name;
}

bool HandleIniSection(SetupRun& run, const std::string& sectionName, const std::string& iniFileName,
                      uint32_t dwSectionFlags) {
  SetupContext& ctx = run.ctx;
  const bool bSavedUninstall = ctx.bUninstall;
  if (ctx.bUninstall && (dwSectionFlags & COPY_DELETE))
    ctx.bUninstall = false;
  else if (!StepSectionCount(run, sectionName))
    return true;
  IniSectionRun s{run, sectionName, WindowsDirectory(run), {}, {}, dwSectionFlags};
  const std::string file = IniFileOfSection(iniFileName);
  const std::string path = ReadSectionPath(run, sectionName);
  const bool bAnchored = file.find_first_of("\\:") != std::string::npos;
  s.filePath = (!path.empty() ? path : bAnchored ? "" : s.windowsDir + "\\") + file;
  s.displayName = path.empty() ? file : s.filePath;
  bool bOk = false;
  if (!SectionExists(run, sectionName)) {
    ShowMessage(run, 5529, sectionName);
  } else {
    const std::string caption = ReadSectionKey(run, sectionName, "Caption", kCaptionSize);
    SetupTrace(run, "HandleIniSection(%s): %s\n", sectionName.c_str(),
               caption.empty() ? s.displayName.c_str() : caption.c_str());
    bOk = RunIniLines(s);
  }
  ctx.bUninstall = bSavedUninstall;
  return bOk;
}

bool IniAddLine(SetupRun& run, const std::string& section, const std::string& key,
                const std::string& value, const std::string& file, bool& bAdded) {
  bAdded = false;
  run.machine.Profiles().WritePrivateProfileString(nullptr, nullptr, nullptr, file);
  if (!CreateFileIfMissing(run, file)) return false;
  platform::IniEncoding encoding = platform::IniEncoding::Ansi;
  std::string text;
  if (!ReadFileText(run, file, text, encoding)) return false;
  const std::optional<std::string> changed = AddIniLineText(text, section, key, value);
  if (!changed) return true;
  bAdded = WriteFileAnew(run, file, *changed, encoding);
  return bAdded;
}

bool IniRemoveLine(SetupRun& run, const std::string& section, const std::string& key,
                   const std::string& value, const std::string& file) {
  run.machine.Profiles().WritePrivateProfileString(nullptr, nullptr, nullptr, file);
  platform::IniEncoding encoding = platform::IniEncoding::Ansi;
  std::string text;
  if (!ReadFileText(run, file, text, encoding)) return false;
  const std::optional<std::string> changed = RemoveIniLineText(text, section, key, value);
  return !changed || WriteFileAnew(run, file, *changed, encoding);
}

}  // namespace tarvium
