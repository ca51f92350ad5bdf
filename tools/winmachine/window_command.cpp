// winmachine window: how a program on the machine says which windows it stands for, since its
// host process has none. "window open TITLE" announces a top-level window of the calling program
// (the process that runs winmachine, or --pid N), "--refuse-end" makes it refuse the shutdown
// query; "window close TITLE" withdraws it; "window list" shows the windows of running programs,
// one "PID<TAB>TITLE" a line. The windows end with their program (machine_windows.h).
#include <cstdlib>

#include "cli.h"
#include "platform/emulated/processes/process_list.h"
#include "platform/error_text.h"
#include "platform/win_error.h"

namespace winmachine {
namespace {

constexpr char kUsage[] =
    "usage: window open [--pid N] [--refuse-end] TITLE | window close [--pid N] TITLE | window "
    "list";

struct WindowArgs {
  uint32_t dwProcessId = platform::ParentProcessId();
  bool bAgreesToEnd = true;
  std::string title;
};

bool ParseWindowArgs(const std::vector<std::string>& args, WindowArgs& parsed) {
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--pid" && i + 1 < args.size()) {
      parsed.dwProcessId = static_cast<uint32_t>(std::strtoul(args[++i].c_str(), nullptr, 10));
    } else if (args[i] == "--refuse-end") {
      parsed.bAgreesToEnd = false;
    } else if (parsed.title.empty() && !args[i].empty()) {
      parsed.title = FromArg(args[i]);
    } else {
      return false;
    }
  }
  return !parsed.title.empty() && parsed.dwProcessId != 0;
}

int ListWindows(platform::emulated::MachineWindows& windows) {
  std::vector<platform::WindowEntry> entries;
  if (const uint32_t err = windows.EnumWindows(entries))
    return Fail(kExitFailed, "cannot list the windows (" + platform::ErrorCodeText(err) + ")");
  for (const platform::WindowEntry& entry : entries)
    PrintLine(std::to_string(entry.dwProcessId) + "\t" + entry.title);
  return kExitOk;
}

}  // namespace

int WindowCommand(const Invocation& invocation) {
  const auto& args = invocation.args;
  if (!platform::emulated::EmulatedMachine::Exists(invocation.machineDir))
    return Fail(kExitFailed, "no machine in " + invocation.machineDir);
  platform::emulated::MachineWindows windows(invocation.machineDir + "/windows");
  if (args.size() == 1 && args[0] == "list") return ListWindows(windows);
  WindowArgs parsed;
  if (args.empty() || (args[0] != "open" && args[0] != "close") || !ParseWindowArgs(args, parsed))
    return Fail(kExitUsage, kUsage);
  const uint32_t err = args[0] == "open" ? windows.AnnounceWindow(parsed.dwProcessId, parsed.title,
                                                                  parsed.bAgreesToEnd)
                                         : windows.WithdrawWindow(parsed.dwProcessId, parsed.title);
  if (err == platform::ERROR_INVALID_PARAMETER)
    return Fail(kExitFailed, "no process " + std::to_string(parsed.dwProcessId) + " runs");
  if (err != platform::ERROR_SUCCESS)
    return Fail(kExitFailed,
                "cannot " + args[0] + " the window (" + platform::ErrorCodeText(err) + ")");
  return kExitOk;
}

}  // namespace winmachine
