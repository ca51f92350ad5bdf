// The machine-level commands of winmachine: create, info, path, reboot, snapshot and diff.
#include <cstdio>
#include <fstream>

#include "cli.h"
#include "platform/ansi_case.h"
#include "platform/emulated/machine/default_layout.h"
#include "platform/emulated/machine/machine_reboot.h"
#include "platform/emulated/machine/snapshot_diff.h"
#include "platform/error_text.h"
#include "platform/pending_file_renames.h"
#include "platform/win_error.h"

namespace winmachine {
namespace {

using platform::RegRoot;
using platform::RegView;
using platform::emulated::EmulatedMachine;
using platform::emulated::MachineSnapshot;

bool ParseLanguage(const std::string& tag, uint16_t& wLanguage) {
  const std::pair<const char*, uint16_t> languages[] = {
      {"en-US", 0x0409}, {"de-DE", 0x0407}, {"fr-FR", 0x040C}};
  for (const auto& [name, id] : languages) {
    if (platform::AnsiEqualNoCase(tag, name)) {
      wLanguage = id;
      return true;
    }
  }
  return false;
}

bool SnapshotOf(const std::string& place, MachineSnapshot& snapshot, std::string& error) {
  if (!EmulatedMachine::Exists(place))
    return platform::LoadSnapshot(place, snapshot, error);
  auto machine = EmulatedMachine::Open(place, {}, error);
  return machine && platform::emulated::TakeSnapshot(*machine, snapshot, error);
}

// The patterns of an --ignore file: one a line (UTF-8), empty lines and '#' lines skipped.
bool ReadPatterns(const std::string& file, std::vector<std::string>& patterns) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] != '#') patterns.push_back(FromArg(line));
  }
  return true;
}

// A directory the command makes: a word that starts with '-' is an option given in its place
// ("create --help" would make a machine named "--help"); ./-name names such a directory.
bool IsOptionWord(const std::string& arg) { return !arg.empty() && arg[0] == '-'; }

}  // namespace

int CreateCommand(const Invocation& invocation) {
  const auto& args = invocation.args;
  if (args.empty() || IsOptionWord(args[0]))
    return Fail(kExitUsage, "create needs a directory first, then its options");
  platform::emulated::MachineIdentity identity;
  identity.engine = EngineOfThisWinmachine();
  for (size_t i = 1; i < args.size(); i += 2) {
    if (i + 1 >= args.size()) return Fail(kExitUsage, args[i] + " needs a value");
    if (args[i] == "--user") {
      identity.userName = args[i + 1];
    } else if (args[i] == "--computer") {
      identity.computerName = args[i + 1];
    } else if (args[i] == "--lang") {
      if (!ParseLanguage(args[i + 1], identity.wLanguage))
        return Fail(kExitUsage, "unknown language '" + args[i + 1] + "' (de-DE, en-US or fr-FR)");
    } else {
      return Fail(kExitUsage, "unknown option '" + args[i] + "' for create");
    }
  }
  if (identity.userName.empty() || identity.computerName.empty())
    return Fail(kExitUsage, "user and computer names must not be empty");
  std::string error;
  if (!EmulatedMachine::Create(args[0], identity, error)) return Fail(kExitFailed, error);
  std::printf("created machine %s: %s on %s, %s\n", args[0].c_str(), identity.userName.c_str(),
              identity.computerName.c_str(),
              platform::emulated::LanguageTag(identity.wLanguage).c_str());
  return kExitOk;
}

int InfoCommand(const Invocation& invocation) {
  if (!invocation.args.empty()) return Fail(kExitUsage, "info takes no arguments");
  auto machine = OpenMachine(invocation);
  if (!machine) return kExitFailed;
  const auto& config = machine->Config();
  std::printf("machine:   %s\n", machine->Directory().c_str());
  PrintLine("computer:  " + config.szComputerName + " (" + config.szDomain + ")");
  PrintLine("user:      " + config.szUserName + " (" + config.szUserSid + ")");
  PrintLine("system:    " + config.DisplayString());
  PrintLine("language:  " + platform::emulated::LanguageTag(config.wUILanguage));
  for (const auto& drive : config.drives)
    PrintLine(std::string("drive ") + drive.cLetter + ":  " + drive.hostDir +
              (drive.bReadOnly ? " (read-only)" : ""));
  for (const auto& share : config.shares)
    PrintLine("share:     \\\\" + share.server + "\\" + share.share + " = " + share.hostDir +
              (share.bReadOnly ? " (read-only)" : ""));
  std::vector<platform::PendingFileRename> pending;
  platform::ReadPendingFileRenames(machine->Reg(), pending);
  platform::PowerRequest request;
  machine->PowerRequests().GetPowerRequest(request);
  std::printf(
      "pending:   %zu file operation(s) at the next restart%s\n", pending.size(),
      request.action != platform::PowerAction::None ? "; a restart or shutdown was requested" : "");
  return kExitOk;
}

int PathCommand(const Invocation& invocation) {
  if (invocation.args.size() != 1) return Fail(kExitUsage, "path needs one Windows path");
  auto machine = OpenMachine(invocation);
  if (!machine) return kExitFailed;
  std::string hostPath;
  const std::string windowsPath = FromArg(invocation.args[0]);
  if (uint32_t err = machine->EmulatedFiles().GetHostPath(windowsPath, hostPath); err != 0)
    return Fail(kExitFailed, "'" + invocation.args[0] + "' has no host path (" +
                                 platform::ErrorCodeText(err) + ")");
  std::printf("%s\n", hostPath.c_str());
  return kExitOk;
}

int RebootCommand(const Invocation& invocation) {
  if (!invocation.args.empty()) return Fail(kExitUsage, "reboot takes no arguments");
  auto machine = OpenMachine(invocation);
  if (!machine) return kExitFailed;
  for (const auto& step : platform::emulated::RebootMachine(*machine))
    PrintLine(step.what + (step.dwResult ? " (" + std::to_string(step.dwResult) + ")" : ""));
  return kExitOk;
}

int SnapshotCommand(const Invocation& invocation) {
  if (invocation.args.size() != 1 || IsOptionWord(invocation.args[0]))
    return Fail(kExitUsage, "snapshot needs a directory");
  auto machine = OpenMachine(invocation);
  if (!machine) return kExitFailed;
  MachineSnapshot snapshot;
  std::string error;
  if (!platform::emulated::TakeSnapshot(*machine, snapshot, error) ||
      !platform::SaveSnapshot(snapshot, invocation.args[0], error))
    return Fail(kExitFailed, error);
  return kExitOk;
}

int DiffCommand(const Invocation& invocation) {
  std::vector<std::string> places;
  platform::emulated::DiffFilter filter;
  const auto& args = invocation.args;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--removal") {
      filter.bRemoval = true;
    } else if (args[i] == "--ignore") {
      if (i + 1 >= args.size()) return Fail(kExitUsage, "--ignore needs a file of patterns");
      if (!ReadPatterns(args[++i], filter.ignorePatterns))
        return Fail(kExitUsage, "cannot read the patterns '" + args[i] + "'");
    } else {
      places.push_back(args[i]);
    }
  }
  if (places.size() != 2) return Fail(kExitUsage, "diff needs two machines or snapshots");
  MachineSnapshot before, after;
  std::string error;
  if (!SnapshotOf(places[0], before, error) || !SnapshotOf(places[1], after, error))
    return Fail(kExitUsage, error);
  const std::vector<std::string> lines = platform::emulated::DiffSnapshots(before, after, filter);
  for (const std::string& line : lines) PrintLine(line);
  return lines.empty() ? kExitOk : kExitFailed;
}

}  // namespace winmachine
