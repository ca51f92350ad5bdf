// Del/Erase, DelTree, Ren/Rename and Append: the file commands besides Copy. Deletes and renames go
// through the installation engine's removal, which defers a file in use to the next restart. Ren
// with a bare new name renames within the old file's directory, and an unmarked Ren line met in
// the removal pass renames back.
#include "engine/ansi_text.h"
#include "engine/setup_run.h"
#include "platform/ansi_case.h"
#include "script/command_handlers.h"
#include "script/file_walk.h"
#include "script/folder_variables.h"
#include "script/removal_steps.h"

namespace tarvium {
namespace {

bool HasDirectory(std::string_view path) {
  return path.find_first_of("\\/:") != std::string_view::npos;
}

bool RenameFile(SetupRun& run, const std::string& from, const std::string& to) {
  if (run.commands.renameFile) return run.commands.renameFile(run, from, to);
  return run.machine.Files().MoveFileEx(from, to, 0) == platform::ERROR_SUCCESS;
}

bool RemoveTree(SetupRun& run, const std::string& directory) {
  bool bOk = true;
  for (const std::string& sub : ListSubdirectories(run, directory))
    bOk = RemoveTree(run, JoinPath(directory, sub)) && bOk;
  WalkFiles(run, directory, "*", false,
            [&](const std::string& relative, const platform::FindData&) {
              bOk = DeleteScriptFile(run, JoinPath(directory, relative)) && bOk;
              return true;
            });
  return run.machine.Files().RemoveDirectory(directory) == platform::ERROR_SUCCESS && bOk;
}

std::string Unquoted(std::string_view text) {
  text = TrimAnsi(text);
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
    text = text.substr(1, text.size() - 2);
  return std::string(text);
}

}  // namespace

bool DelCommand(CommandCall& call) {
  std::string pattern;
  bool bRecursive = false;
  for (const std::string& word : WordArguments(call.arguments)) {
    if (platform::AnsiEqualNoCase(word, "/S"))
      bRecursive = true;
    else if (pattern.empty())
      pattern = word;
  }
  if (pattern.empty()) return MissingArgument(call);
  const SplitPath parts = SplitLastPart(pattern);
  bool bOk = true;
  WalkFiles(call.run, parts.directory, parts.name, bRecursive,
            [&](const std::string& relative, const platform::FindData&) {
              bOk = DeleteScriptFile(call.run, JoinPath(parts.directory, relative)) && bOk;
              return true;
            });
  return bOk;
}

bool DelTreeCommand(CommandCall& call) {
  const std::string directory = Unquoted(call.arguments);
  if (directory.empty()) return MissingArgument(call);
  if (IsProtectedDirectory(call.run, directory)) return false;
  if (!call.run.machine.Files().DirectoryExists(directory)) return true;
  return RemoveTree(call.run, directory);
}

bool RenCommand(CommandCall& call) {
  const std::vector<std::string> words = WordArguments(call.arguments);
  if (words.size() < 2) return MissingArgument(call);
  const std::string& from = words[0];
  const std::string to =
      HasDirectory(words[1]) ? words[1] : JoinPath(SplitLastPart(from).directory, words[1]);
  if (call.bUndo) return RenameFile(call.run, to, from);
  return RenameFile(call.run, from, to);
}

bool AppendCommand(CommandCall& call) {
  const std::vector<std::string> words = WordArguments(call.arguments);
  if (words.size() < 2) return MissingArgument(call);
  platform::FileSystem& files = call.run.machine.Files();
  std::string first, second;
  if (files.ReadWholeFile(words[1], second) != platform::ERROR_SUCCESS) return false;
  if (files.ReadWholeFile(words[0], first) != platform::ERROR_SUCCESS) first.clear();
  return files.WriteWholeFile(words[0], first + second) == platform::ERROR_SUCCESS;
}

}  // namespace tarvium
