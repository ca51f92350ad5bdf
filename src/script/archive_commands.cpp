// Unzip, Unrar and Zip over the archive subsystem, and Extract over the installation engine's
// cabinet reader. Archive passwords may be stored encrypted. A failed archive shows its message
// and sets the abort flag, so the run stops after the message.
#include "archive/pack_zip.h"
#include "archive/unpack_rar.h"
#include "archive/unpack_zip.h"
#include "engine/encrypted_value.h"
#include "engine/setup_run.h"
#include "engine/show_message.h"
#include "script/command_handlers.h"
#include "script/file_walk.h"

namespace tarvium {
namespace {

std::string PlainPassword(SetupRun& run, std::string password) {
  DecryptGuard(run, password);
  return password;
}

bool ArchiveFailed(SetupRun& run, int nMessage, const std::string& archive) {
  ShowMessage(run, nMessage, archive);
  run.ctx.bAborted = true;
  return false;
}

}  // namespace

bool UnzipCommand(CommandCall& call) {
  const std::vector<std::string> args = ListArguments(call.arguments);
  const std::string archive = ArgumentAt(args, 0);
  const std::string destination = ArgumentAt(args, 1);
  if (archive.empty() || destination.empty()) return MissingArgument(call);
  SetupRun& run = call.run;
  if (UnpackZip(run, archive, destination, ArgumentAt(args, 2),
                PlainPassword(run, ArgumentAt(args, 3))))
    return true;
  return ArchiveFailed(run, 5502, archive);
}

bool UnrarCommand(CommandCall& call) {
  const std::vector<std::string> args = ListArguments(call.arguments);
  const std::string archive = ArgumentAt(args, 1);
  const std::string destination = ArgumentAt(args, 2);
  if (archive.empty() || destination.empty()) return MissingArgument(call);
  SetupRun& run = call.run;
  if (UnpackRar(run, ArgumentAt(args, 0), archive, destination,
                PlainPassword(run, ArgumentAt(args, 3))))
    return true;
  return ArchiveFailed(run, 5502, archive);
}

bool ZipCommand(CommandCall& call) {
  const std::vector<std::string> args = ListArguments(call.arguments);
  const std::string archive = ArgumentAt(args, 0);
  const std::string source = ArgumentAt(args, 1);
  if (archive.empty() || source.empty()) return MissingArgument(call);
  SetupRun& run = call.run;
  if (PackZip(run, archive, source, ArgumentAt(args, 2), PlainPassword(run, ArgumentAt(args, 3))))
    return true;
  return ArchiveFailed(run, 5503, archive);
}

// Extract cabinet member [destination directory]: the member is written under its own name into
// the destination, the current directory when none is given.
bool ExtractCommand(CommandCall& call) {
  const std::vector<std::string> words = WordArguments(call.arguments);
  if (words.size() < 2) return MissingArgument(call);
  SetupRun& run = call.run;
  const std::string directory = words.size() > 2 ? words[2] : ".";
  const std::string target = JoinPath(directory, SplitLastPart(words[1]).name);
  if (!run.commands.extractCabinetFile) return false;
  run.machine.Files().CreateDirectoryTree(directory);
  if (run.commands.extractCabinetFile(run, words[0], words[1], target) == platform::ERROR_SUCCESS)
    return true;
  return ArchiveFailed(run, 5502, words[0]);
}

}  // namespace tarvium
