// Copy source destination [/D] [/S] [/Exclude:list]. The source's last part is the file mask
// (wildcards allowed); the destination is a directory when it exists as one, ends in a backslash
// or the source has wildcards, else the new file's path. Each file goes through the installation
// engine's copy procedure with the removal flag off, so a removal pass that meets a marked Copy
// line copies. An unmarked line met in the removal pass deletes what the copy made and then the
// destination's directories that became empty. In sizing mode the bytes are only counted.
#include "engine/ansi_text.h"
#include "engine/setup_run.h"
#include "platform/ansi_case.h"
#include "script/command_handlers.h"
#include "script/file_walk.h"
#include "script/removal_steps.h"

namespace tarvium {
namespace {

bool IsCopySwitch(std::string_view word) {
  return platform::AnsiEqualNoCase(word, "/D") || platform::AnsiEqualNoCase(word, "/S") ||
         platform::AnsiStartsWithNoCase(word, "/Exclude");
}

struct CopyRequest {
  std::string sourceDir;
  std::string mask;
  std::string destination;
  bool bIntoDirectory = false;
  bool bReplaceOlder = false;  // /D
  bool bRecursive = false;     // /S
  std::vector<std::string> excluded;
};

bool HasWildcards(std::string_view text) {
  return text.find_first_of("*?") != std::string_view::npos;
}

void ReadExcludeList(std::string_view list, std::vector<std::string>& excluded) {
  size_t nStart = 0;
  while (nStart < list.size()) {
    size_t nEnd = list.find_first_of(",;+", nStart);
    if (nEnd == std::string_view::npos) nEnd = list.size();
    const std::string_view name = TrimAnsi(list.substr(nStart, nEnd - nStart));
    if (!name.empty()) excluded.emplace_back(name);
    nStart = nEnd + 1;
  }
}

// False when source or destination is missing.
bool ParseCopy(SetupRun& run, std::string_view arguments, CopyRequest& request) {
  for (const std::string& word : WordArguments(arguments)) {
    if (platform::AnsiEqualNoCase(word, "/D")) {
      request.bReplaceOlder = true;
    } else if (platform::AnsiEqualNoCase(word, "/S")) {
      request.bRecursive = true;
    } else if (platform::AnsiStartsWithNoCase(word, "/Exclude")) {
      const size_t nColon = word.find(':');
      if (nColon != std::string::npos) ReadExcludeList(word.substr(nColon + 1), request.excluded);
    }
  }
  const std::vector<std::string> paths = PathArguments(arguments);
  if (paths.size() < 2) return false;
  SplitPath source = SplitLastPart(paths[0]);
  if (request.bRecursive && source.name.empty()) source.name = "*";
  if (run.machine.Files().DirectoryExists(paths[0])) source = {paths[0], "*"};
  request.sourceDir = source.directory;
  request.mask = source.name;
  request.destination = paths[1];
  const char cLast = paths[1].back();
  request.bIntoDirectory = cLast == '\\' || cLast == '/' || HasWildcards(request.mask) ||
                           request.bRecursive || run.machine.Files().DirectoryExists(paths[1]);
  return !request.mask.empty();
}

bool IsExcluded(const CopyRequest& request, const std::string& relative) {
  const std::string name = SplitLastPart(relative).name;
  for (const std::string& pattern : request.excluded)
    if (platform::AnsiMatchesPattern(pattern, name) ||
        platform::AnsiMatchesPattern(pattern, relative))
      return true;
  return false;
}

std::string TargetOf(const CopyRequest& request, const std::string& relative) {
  return request.bIntoDirectory ? JoinPath(request.destination, relative) : request.destination;
}

bool CopyOneFile(SetupRun& run, const CopyRequest& request, const std::string& relative) {
  const std::string source = JoinPath(request.sourceDir, relative);
  const std::string target = TargetOf(request, relative);
  const SplitPath targetParts = SplitLastPart(target);
  if (targetParts.directory != ".") run.machine.Files().CreateDirectoryTree(targetParts.directory);
  if (!run.commands.copyFile)
    return run.machine.Files().CopyFile(source, target, false) == platform::ERROR_SUCCESS;
  const bool bUninstall = run.ctx.bUninstall;
  run.ctx.bUninstall = false;
  const bool bOk = run.commands.copyFile(run, source, target, request.bReplaceOlder);
  run.ctx.bUninstall = bUninstall;
  return bOk;
}

// Deletes the files the copy made, then the directories that became empty, innermost first.
bool UndoCopy(SetupRun& run, const CopyRequest& request) {
  std::vector<std::string> directories;
  if (!request.bIntoDirectory) {
    DeleteScriptFile(run, request.destination);
    directories.push_back(SplitLastPart(request.destination).directory);
  } else {
    WalkFiles(run, request.destination, request.mask, request.bRecursive,
              [&](const std::string& relative, const platform::FindData&) {
                if (IsExcluded(request, relative)) return true;
                const std::string target = JoinPath(request.destination, relative);
                DeleteScriptFile(run, target);
                directories.push_back(SplitLastPart(target).directory);
                return true;
              });
    directories.push_back(request.destination);
  }
  for (auto it = directories.rbegin(); it != directories.rend(); ++it)
    if (*it != ".") RemoveDirectoryChain(run, *it);
  return true;
}

}  // namespace

std::vector<std::string> PathArguments(std::string_view text) {
  std::vector<std::string> paths = WordArguments(text);
  std::erase_if(paths, [](const std::string& word) { return IsCopySwitch(word); });
  return paths;
}

bool CopyCommand(CommandCall& call) {
  SetupRun& run = call.run;
  CopyRequest request;
  if (!ParseCopy(run, call.arguments, request)) return call.bSizing || MissingArgument(call);
  if (call.bUndo) return UndoCopy(run, request);
  return WalkFiles(run, request.sourceDir, request.mask, request.bRecursive,
                   [&](const std::string& relative, const platform::FindData& data) {
                     if (IsExcluded(request, relative)) return true;
                     if (!call.bSizing) return CopyOneFile(run, request, relative);
                     if (call.pnBytes) *call.pnBytes += static_cast<int64_t>(data.nFileSize);
                     return true;
                   });
}

}  // namespace tarvium
