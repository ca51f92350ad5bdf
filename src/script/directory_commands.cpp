// MD/MkDir, RD/RmDir, RenDir, CD/ChDir and the drive change "X:". MD creates missing parents too,
// and an unmarked MD line met in the removal pass removes the directory and then its parents for
// as long as each is empty. RD never removes a machine folder or the temporary directory.
#include "engine/setup_run.h"
#include "engine/show_message.h"
#include "script/command_handlers.h"
#include "script/folder_variables.h"
#include "script/removal_steps.h"

namespace tarvium {
namespace {

bool MoveDirectory(SetupRun& run, const std::string& from, const std::string& to) {
  return run.machine.Files().MoveFileEx(from, to, 0) == platform::ERROR_SUCCESS;
}

}  // namespace

bool MkDirCommand(CommandCall& call) {
  const std::string directory = ArgumentAt(WordArguments(call.arguments), 0);
  if (directory.empty()) return MissingArgument(call);
  if (call.bUndo) {
    RemoveDirectoryChain(call.run, directory);
    return true;
  }
  const uint32_t err = call.run.machine.Files().CreateDirectoryTree(directory);
  if (err == platform::ERROR_SUCCESS || err == platform::ERROR_ALREADY_EXISTS) return true;
  return ShowMessage(call.run, 5507, directory) != kResultOk;
}

bool RmDirCommand(CommandCall& call) {
  const std::string directory = ArgumentAt(WordArguments(call.arguments), 0);
  if (directory.empty()) return MissingArgument(call);
  return RemoveScriptDirectory(call.run, directory);
}

bool RenDirCommand(CommandCall& call) {
  const std::vector<std::string> words = WordArguments(call.arguments);
  if (words.size() < 2) return MissingArgument(call);
  if (call.bUndo) return MoveDirectory(call.run, words[1], words[0]);
  return MoveDirectory(call.run, words[0], words[1]);
}

bool ChDirCommand(CommandCall& call) {
  const std::string directory = ArgumentAt(WordArguments(call.arguments), 0);
  if (directory.empty()) return MissingArgument(call);
  return call.run.machine.Files().SetCurrentDirectory(directory) == platform::ERROR_SUCCESS;
}

bool DriveCommand(CommandCall& call) {
  return call.run.machine.Files().SetCurrentDirectory(call.name) == platform::ERROR_SUCCESS;
}

}  // namespace tarvium
