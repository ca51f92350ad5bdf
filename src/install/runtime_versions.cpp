// The runtime version check after the install pass: for each file of a CHECKRTVERSION line, the
// file the system would load by its name is looked for along the search path (the system
// directories, the Windows directory, then the directories of PATH); when that is another file
// with a lower version, 5551 names both. The list is emptied afterwards, so its memory is given
// back once it was checked.
#include <string_view>
#include <vector>

#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "install/copy_conflicts.h"
#include "install/copy_file.h"
#include "install/file_path_parts.h"
#include "install/install_engine.h"
#include "platform/ansi_case.h"
#include "script/file_version_info.h"
#include "script/message_catalog.h"

namespace tarvium {
namespace {

std::vector<std::string> SearchDirectories(SetupRun& run) {
  std::vector<std::string> directories;
  for (const char* pszVariable : {"System", "System16", "Windows"})
    if (const std::string& dir = run.variables.Get(pszVariable); !dir.empty())
      directories.push_back(dir);
  std::string path;
  run.machine.Env().GetVariable("PATH", path);
  for (size_t nStart = 0; nStart <= path.size();) {
    size_t nEnd = path.find(';', nStart);
    if (nEnd == std::string::npos) nEnd = path.size();
    if (nEnd > nStart) directories.push_back(path.substr(nStart, nEnd - nStart));
    nStart = nEnd + 1;
  }
  return directories;
}

// The first file of that name along the search path, "" when there is none.
std::string FindOnSearchPath(SetupRun& run, const std::vector<std::string>& directories,
                             const std::string& name) {
  for (std::string dir : directories) {
    if (dir.back() != '\\') dir += '\\';
    if (run.machine.Files().FileExists(dir + name)) return dir + name;
  }
  return {};
}

void CheckRuntimeVersion(SetupRun& run, const std::vector<std::string>& directories,
                         const std::string& installed) {
  FileVersionInfo installedInfo;
  if (!ReadFileVersionInfo(run, installed, installedInfo)) return;
  SetupTrace(run, "%s %s\n", GetText(run, 5032).c_str(), installed.c_str());
  const std::string loaded = FindOnSearchPath(run, directories, FileNameOf(installed));
  if (loaded.empty() || platform::AnsiEqualNoCase(loaded, installed)) return;
  SetupTrace(run, "%s %s\n", GetText(run, 5033).c_str(), loaded.c_str());
  FileVersionInfo loadedInfo;
  if (!ReadFileVersionInfo(run, loaded, loadedInfo)) return;
  if (BinaryFileVersion(loadedInfo) < BinaryFileVersion(installedInfo))
    ShowMessage(run, 5551, installed, FormatPaddedVersion(installedInfo), loaded,
                FormatPaddedVersion(loadedInfo));
}

}  // namespace

void CheckRuntimeVersions(SetupRun& run) {
  std::vector<std::string>& list = EngineOf(run).runtimeCheckList;
  if (list.empty()) return;
  SetupTrace(run, "%s\n", GetText(run, 5031).c_str());
  const std::vector<std::string> directories = SearchDirectories(run);
  for (const std::string& installed : list) CheckRuntimeVersion(run, directories, installed);
  std::vector<std::string>().swap(list);
}

}  // namespace tarvium
