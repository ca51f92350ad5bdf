// Program Manager groups and items through the shell's DDE conversation, opened once per run. The
// section names a group; the options' Program Manager sections (or, failing them, their shell
// sections, whose link lines are turned into item texts) list the items. Removal deletes the
// items and the group, never one of the groups the shell itself keeps.
#include <array>

#include "engine/ansi_text.h"
#include "engine/debug_output.h"
#include "engine/inf_fields.h"
#include "engine/inf_reader.h"
#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "engine/show_message.h"
#include "install/install_engine.h"
#include "platform/ansi_case.h"
#include "platform/win_error.h"
#include "sysconfig/shell_line.h"
#include "sysconfig/shortcuts.h"

namespace tarvium {
namespace {

constexpr uint32_t kInitiateTimeoutMs = 2000;
constexpr std::array<std::string_view, 4> kProtectedGroups = {"Startup", "Autostart", "Main",
                                                              "Hauptgruppe"};

std::string UpToComma(const std::string& text) {
  return text.substr(0, text.find(','));
}

bool IsProtectedGroup(std::string_view group) {
  for (std::string_view name : kProtectedGroups)
    if (platform::AnsiEqualNoCase(TrimAnsi(group), name)) return true;
  return false;
}

// Makes the group current: created and shown in an install, shown and deleted in a removal. A
// group the shell keeps is shown but not deleted, so that the items that follow leave it. A
// failed CreateGroup cancels the run.
bool SwitchGroup(SetupRun& run, ShortcutState& state, const std::string& group) {
  const std::string shown = UpToComma(group);
  if (!run.ctx.bUninstall) {
    if (!ProgmanExecute(run, state, "[CreateGroup(" + group + ")]")) {
      run.ctx.bAborted = true;
      return false;
    }
    return run.ctx.bSilent || ProgmanExecute(run, state, "[ShowGroup(" + shown + ",1)]");
  }
  if (!ProgmanExecute(run, state, "[ShowGroup(" + shown + ",1)]")) return false;
  if (!IsProtectedGroup(shown)) return ProgmanExecute(run, state, "[DeleteGroup(" + shown + ")]");
  SetupTrace(run, "Program group '%s' is kept\n", shown.c_str());
  return true;
}

// "Group=Name": the group named by a line, variables substituted; false for any other line.
bool GroupLine(SetupRun& run, const std::string& line, std::string& group) {
  const std::string_view text = TrimAnsiLeft(line);
  if (!platform::AnsiStartsWithNoCase(text, "Group")) return false;
  const std::string_view rest = TrimAnsiLeft(text.substr(5));
  if (rest.empty() || rest[0] != '=') return false;
  group = std::string(TrimAnsi(rest.substr(1)));
  ReplaceVariables(run, group);
  return true;
}

// Whether an item's command names its program with a path that is missing. As the shell reads an
// unquoted command line, the program may hold blanks: each text up to a blank, and the whole
// command, is a candidate, and the program exists when one of them is a file.
bool CommandFileMissing(SetupRun& run, const std::string& command) {
  const std::string_view text = TrimAnsi(command);
  if (text.find('\\') == std::string_view::npos) return false;
  for (size_t nEnd = text.find(' '); nEnd != std::string_view::npos;
       nEnd = text.find(' ', nEnd + 1))
    if (run.machine.Files().FileExists(std::string(text.substr(0, nEnd)))) return false;
  return !run.machine.Files().FileExists(std::string(text));
}

// One item: install replaces it (passed over when its program is given with a path and missing),
// removal deletes it.
bool ApplyItem(SetupRun& run, ShortcutState& state, const std::string& name,
               const std::string& text, const std::string& command) {
  if (run.ctx.bUninstall) return ProgmanExecute(run, state, "[DeleteItem(" + name + ")]");
  if (CommandFileMissing(run, command)) {
    SetupTrace(run, "Program item '%s' passed over: '%s' not found\n", name.c_str(),
               command.c_str());
    return true;
  }
  return ProgmanExecute(run, state, "[ReplaceItem(" + name + ")]") &&
         ProgmanExecute(run, state, "[AddItem(" + text + ")]");
}

// A line of a Program Manager section: a group switch or an item text (command, name, ...).
bool ApplyProgmanLine(SetupRun& run, ShortcutState& state, const std::string& line) {
  std::string group;
  if (GroupLine(run, line, group)) return SwitchGroup(run, state, group);
  std::string text = std::string(TrimAnsi(line));
  ReplaceVariables(run, text);
  std::string command, name;
  NextField(NextField(text.c_str(), command), name);
  return ApplyItem(run, state, std::string(TrimAnsi(name)), text, command);
}

// A shell link line read as an item of the group its link path starts with.
bool ApplyShellLineAsItem(SetupRun& run, ShortcutState& state, const std::string& line) {
  ShellLinkLine parsed;
  std::string link;
  ParseShellLine(
      line, [&](std::string& field) { ReplaceVariables(run, field); }, parsed, link);
  const ProgmanItem item = ProgmanItemOfLink(parsed, link);
  return SwitchGroup(run, state, item.group) &&
         ApplyItem(run, state, item.name, item.text, parsed.target);
}

bool ApplyOptionSections(SetupRun& run, ShortcutState& state, const std::string& section) {
  const OptionTable& table = EngineOf(run).options;
  return WalkProcessedOptions(run, 0, [&](int32_t i) {
    const OptionRecord& option = table[i];
    const std::string parent = option.parent >= 0 ? table[option.parent].name : std::string();
    std::string found;
    const char* start = FirstSection(
        run,
        {section + ":" + option.name, section + "." + option.name, section + ":<" + parent + ">"},
        found);
    // A Group line sets the group of the items after it, in the removal pass too.
    if (start)
      return ApplySectionLines(
          run, start, found,
          [&](const std::string& line) { return ApplyProgmanLine(run, state, line); },
          RemovalOrder::FileOrder);
    start = FirstSection(run, {"Shell:" + option.name}, found);
    return !start || ApplySectionLines(run, start, found, [&](const std::string& line) {
      return ApplyShellLineAsItem(run, state, line);
    });
  });
}

}  // namespace

bool ProgmanExecute(SetupRun& run, ShortcutState& state, const std::string& command) {
  platform::Dde& dde = run.machine.DdeServers();
  DebugOutput(run, command);
  bool bAccepted = false;
  uint32_t err = platform::ERROR_INVALID_HANDLE;
  if (state.hProgman != platform::DdeConversation::None)
    err = dde.Execute(state.hProgman, command, bAccepted);
  if (err != 0) {
    SetupTrace(run, "DDE command '%s' not sent, error %u\n", command.c_str(), err);
    return ShowMessage(run, 5516, command) == kResultIgnore;
  }
  if (!bAccepted) SetupTrace(run, "DDE command '%s' refused\n", command.c_str());
  return true;
}

namespace {

void OpenProgman(SetupRun& run, ShortcutState& state) {
  if (state.hProgman == platform::DdeConversation::None &&
      run.machine.DdeServers().Initiate("PROGMAN", "PROGMAN", kInitiateTimeoutMs, state.hProgman) !=
          0)
    SetupTrace(run, "No Program Manager answers\n");
}

}  // namespace

bool ProgmanCommand(SetupRun& run, ShortcutState& state, const std::string& command) {
  OpenProgman(run, state);
  return ProgmanExecute(run, state, command);
}

bool HandleProgmanSection(SetupRun& run, ShortcutState& state, const std::string& section) {
  OpenProgman(run, state);
  std::string group;
  if (const InfFile* pInf = InstallFile(run);
      pInf && GetValue(*pInf, section, "Group", group, kPathSize)) {
    ReplaceVariables(run, group);
    if (!SwitchGroup(run, state, group)) return false;
  }
  return ApplyOptionSections(run, state, section);
}

}  // namespace tarvium
