// One shell link line, made or removed. The steps keep the order the link object needs: the run
// filter on the line as written, the fields prepared, the target looked up on the search path,
// the folder, the unresolvable test, the one-time shell folder, then the link saved with the
// platform's writer (which takes the same properties as the shell's link object, the link data
// flags OR-ed in). Removal deletes the link, or the ".pif" of the same name, and the folders that
// became empty, up to the shell folder the link lay in.
#include <array>

#include "engine/ansi_text.h"
#include "engine/debug_output.h"
#include "engine/inf_fields.h"
#include "engine/pump_messages.h"
#include "engine/replace_variables.h"
#include "engine/run_plan.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "engine/show_message.h"
#include "install/shared_files.h"
#include "platform/ansi_case.h"
#include "platform/search_path.h"
#include "platform/shell_link.h"
#include "platform/win_error.h"
#include "sysconfig/link_relay.h"
#include "sysconfig/shell_line.h"
#include "sysconfig/shortcuts.h"

namespace tarvium {
namespace {

// The shell folders a link's emptied folders are never removed beyond.
constexpr std::array<const char*, 12> kShellFolderVariables = {
    "Programs",       "StartMenu",       "Desktop",       "Startup",
    "UserPrograms",   "UserStartMenu",   "UserDesktop",   "UserStartup",
    "CommonPrograms", "CommonStartMenu", "CommonDesktop", "CommonStartup",
};

LinkRunKind RunKindOf(const SetupContext& ctx) {
  LinkRunKind kind;
  kind.bAdminSetup = ctx.bAdminSetup;
  kind.bMachinePartRun = IsMachinePartRun(ctx);
  kind.bUserSetup = ctx.bUserPartRun;
  kind.bClientSetup = ctx.bClientSetup;
  kind.bFromMedium = ctx.bFromCD;
  kind.bCommonShellLinks = ctx.bCommonShellLinks;
  return kind;
}

std::string FolderOf(const std::string& path) {
  const size_t nSep = path.find_last_of('\\');
  return nSep == std::string::npos ? std::string() : path.substr(0, nSep);
}

bool IsDriveOrRooted(const std::string& path) {
  return path.find(':') != std::string::npos || (!path.empty() && path[0] == '\\');
}

// The target's full path on the search path; fills an empty working directory with the folder it
// was found in and an empty icon file (with a non-zero index) with the target. False when the
// target is neither a directory nor found.
bool ResolveTarget(SetupRun& run, ShellLinkLine& line) {
  if (run.machine.Files().DirectoryExists(line.target)) return true;
  std::string fullPath;
  if (platform::SearchPath(run.machine, run.variables.Get("Src"), line.target, fullPath) != 0)
    return false;
  line.target = fullPath;
  if (line.workingDir.empty()) line.workingDir = FolderOf(fullPath);
  if (line.iconFile.empty() && line.iIconIndex != 0) line.iconFile = fullPath;
  return true;
}

// The first link of a run that is neither silent nor an administrator setup opens the folder the
// main section names (below Programs unless it has a drive or a leading '\'); once.
void ShowShellFolderOnce(SetupRun& run) {
  SetupContext& ctx = run.ctx;
  if (ctx.bSilent || ctx.bAdminSetup || ctx.szShowShellFolder.empty()) return;
  std::string folder = ctx.szShowShellFolder;
  ctx.szShowShellFolder.clear();
  if (!IsDriveOrRooted(folder)) folder = run.variables.Get("Programs") + "\\" + folder;
  run.machine.Files().CreateDirectoryTree(folder);
  platform::ProcessStart start;
  start.commandLine = "Explorer \"" + folder + "\"";
  platform::ProcessHandle hProcess = platform::ProcessHandle::Invalid;
  const uint32_t err = run.machine.Programs().CreateProcess(start, hProcess);
  if (err == 0) run.machine.Programs().CloseProcess(hProcess);
  DebugOutput(run, "Shell folder '" + folder + "' opened, error " + std::to_string(err));
}

platform::ShellLinkProperties PropertiesOf(const ShellLinkLine& line, const std::string& linkPath) {
  platform::ShellLinkProperties link;
  link.path = line.target;
  link.arguments = line.arguments;
  link.workingDir = line.workingDir;
  link.description = line.description;
  link.iconFile = line.iconFile;
  link.iIconIndex = line.iIconIndex;
  link.iShowCmd = line.iShowCmd;
  link.wHotKey = line.wHotKey;
  link.dwExtraFlags = line.dwLinkFlags;
  link.linkPath = linkPath;
  return link;
}

bool MakeLink(SetupRun& run, ShortcutState& state, ShellLinkLine& line,
              const std::string& linkPath) {
  const bool bFound = ResolveTarget(run, line);
  const std::string folder = FolderOf(linkPath);
  platform::FileSystem& files = run.machine.Files();
  if (!folder.empty() && !files.DirectoryExists(folder) && files.CreateDirectoryTree(folder) != 0)
    ShowMessage(run, 5507, folder);
  if (!bFound && !run.ctx.bCreateUnresolvableShellLinks) {
    SetupTrace(run, "Link '%s' not made: '%s' not found\n", linkPath.c_str(), line.target.c_str());
    NotePlan(run, "shortcut", linkPath, "skip", "its target is not found: " + line.target);
    return true;
  }
  ShowShellFolderOnce(run);
  const bool bReplaces = run.plan && files.FileExists(linkPath);  // asked only for the plan
  if (const uint32_t err = platform::SaveShellLink(files, PropertiesOf(line, linkPath))) {
    SetupTrace(run, "Link '%s' not saved, error %u\n", linkPath.c_str(), err);
    NotePlan(run, "shortcut", linkPath, "failed", "error " + std::to_string(err));
    return ShowMessage(run, 5534, linkPath) == kResultIgnore;
  }
  SetupTrace(run, "Link '%s' -> '%s'\n", linkPath.c_str(), line.target.c_str());
  NotePlan(run, "shortcut", linkPath, bReplaces ? "replace" : "make", "to " + line.target);
  RelayLink(run, state, linkPath, false);
  return PumpWindowMessages(run);
}

// The path the shell saves a link to: "." and ".." steps resolved, a path rooted without a drive
// on the current drive. Removal then walks up the folders the link really lies in and stops at the
// shell folders; a path the file system cannot take is kept for the save to fail on.
std::string FullLinkPath(SetupRun& run, const std::string& path) {
  std::string fullPath;
  return run.machine.Files().GetFullPathName(path, fullPath) == 0 ? fullPath : path;
}

bool IsShellFolder(SetupRun& run, const std::string& folder) {
  for (const char* pszVariable : kShellFolderVariables) {
    std::string value = run.variables.Get(pszVariable);
    if (!value.empty() && value.back() == '\\') value.pop_back();
    if (!value.empty() && platform::AnsiEqualNoCase(value, folder)) return true;
  }
  return false;
}

std::string WithExtension(const std::string& path, const char* pszExtension) {
  const size_t nDot = path.find_last_of('.');
  const size_t nSep = path.find_last_of('\\');
  const bool bHasExtension =
      nDot != std::string::npos && (nSep == std::string::npos || nDot > nSep);
  return (bHasExtension ? path.substr(0, nDot) : path) + pszExtension;
}

void RemoveLink(SetupRun& run, ShortcutState& state, const std::string& linkPath) {
  RelayLink(run, state, linkPath, true);
  platform::FileSystem& files = run.machine.Files();
  uint32_t err = files.DeleteFile(linkPath);
  if (err == platform::ERROR_FILE_NOT_FOUND)
    err = files.DeleteFile(WithExtension(linkPath, ".pif"));
  SetupTrace(run, "Link '%s' removed, error %u\n", linkPath.c_str(), err);
  if (err == platform::ERROR_SUCCESS)
    NotePlan(run, "shortcut", linkPath, "remove", {});
  else if (err == platform::ERROR_FILE_NOT_FOUND)
    NotePlan(run, "shortcut", linkPath, "skip", "it is not there");
  else
    NotePlan(run, "shortcut", linkPath, "failed", "error " + std::to_string(err));
  for (std::string folder = FolderOf(linkPath);
       !folder.empty() && !IsShellFolder(run, folder) && RemoveInstalledDirectory(run, folder);
       folder = FolderOf(folder)) {
  }
}

}  // namespace

bool CreateShellLink(SetupRun& run, ShortcutState& state, const std::string& line) {
  std::string link;
  const char* rest = NextField(line.c_str(), link);
  return CreateShellLinkAt(run, state, link, rest ? rest : "");
}

namespace {

bool MakeOrRemoveLink(SetupRun& run, ShortcutState& state, const std::string& link,
                      const std::string& fields, bool bRunFilter) {
  std::string quotedLink = "\"";
  for (char c : link) quotedLink += c == '"' ? std::string("\"\"") : std::string(1, c);
  const std::string_view rest = TrimAnsiLeft(fields);  // the comma after the link may be given
  const std::string line = quotedLink + "\"," + std::string(rest.substr(rest.starts_with(',')));
  ShellLinkLine parsed;
  std::string substitutedLink;
  if (!ParseShellLine(
          line, [&](std::string& field) { ReplaceVariables(run, field); }, parsed, substitutedLink))
    SetupTrace(run, "Link flags '%s' unknown: none set\n", parsed.flagText.c_str());
  if (bRunFilter && !LinkMadeInRun(parsed.link, RunKindOf(run.ctx))) {
    NotePlan(run, "shortcut", parsed.link, "skip", "this kind of setup does not make it");
    return true;
  }
  const std::string linkPath =
      FullLinkPath(run, CompleteLinkPath(substitutedLink, run.variables.Get("Programs")));
  if (run.ctx.bUninstall) {
    RemoveLink(run, state, linkPath);
    return true;
  }
  return MakeLink(run, state, parsed, linkPath);
}

}  // namespace

bool CreateShellLinkAt(SetupRun& run, ShortcutState& state, const std::string& link,
                       const std::string& fields) {
  return MakeOrRemoveLink(run, state, link, fields, true);
}

bool CreateEngineLinkAt(SetupRun& run, ShortcutState& state, const std::string& link,
                        const std::string& fields) {
  return MakeOrRemoveLink(run, state, link, fields, false);
}

}  // namespace tarvium
