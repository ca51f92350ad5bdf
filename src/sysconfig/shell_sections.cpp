// Shell sections: a section named Shell (or "Shell:..."), and the options' shell sections that the
// ShellLinks key has the install pass walk. The walk over the options is the pass's own order
// (the option first, children after; in an uninstall the children last to first, then the
// option), shared with the Program Manager, which looks for its sections along the same walk.
#include "engine/ansi_text.h"
#include "engine/inf_file.h"
#include "engine/inf_reader.h"
#include "engine/replace_variables.h"
#include "engine/section_position.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "engine/show_message.h"
#include "install/install_engine.h"
#include "install/install_pass.h"
#include "platform/ansi_case.h"
#include "sysconfig/shortcuts.h"

namespace tarvium {
bool ApplySectionLines(SetupRun& run, const char* start, const std::string& section,
                       const std::function<bool(const std::string&)>& apply, RemovalOrder order) {
  InfSection cursor;
  OpenSection(cursor, start, false, false, run.ctx.bUninstall && order == RemovalOrder::Backwards);
  const SectionPositionScope position(run);
  std::string line;
  while (!run.ctx.bAborted && NextLine(cursor, line, kVariableLineSize)) {
    SetPosition(run, section, cursor.CurrentLineNumber());
    if (TrimAnsi(line).empty()) continue;
    if (!apply(line)) return false;
  }
  return !run.ctx.bAborted;
}

const char* FirstSection(SetupRun& run, std::initializer_list<std::string> names,
                         std::string& found) {
  const InfFile* pInf = InstallFile(run);
  if (!pInf) return nullptr;
  for (const std::string& name : names) {
    if (const char* start = FindSection(*pInf, name)) {
      found = name;
      return start;
    }
  }
  return nullptr;
}

bool WalkProcessedOptions(SetupRun& run, int32_t optionIndex,
                          const std::function<bool(int32_t)>& visit) {
  const OptionTable& table = EngineOf(run).options;
  if (optionIndex < 0 || optionIndex >= table.Count()) return true;
  const OptionRecord& option = table[optionIndex];
  const bool bBackwards = run.ctx.bUninstall;
  auto visitSelf = [&] {
    if (optionIndex == 0 || !option.selected) return true;
    SetOptionVariables(run, option);
    return visit(optionIndex);
  };
  if (!bBackwards && !visitSelf()) return false;
  for (int32_t c = bBackwards ? option.lastChild : option.firstChild; c >= 0;
       c = bBackwards ? table[c].prevSibling : table[c].nextSibling)
    if (run.ctx.bAborted || !WalkProcessedOptions(run, c, visit)) return false;
  return !run.ctx.bAborted && (!bBackwards || visitSelf());
}

bool HandleShellSection(SetupRun& run, ShortcutState& state, const std::string& section) {
  const InfFile* pInf = InstallFile(run);
  const char* start = pInf ? FindSection(*pInf, section) : nullptr;
  if (!start) {
    ShowMessage(run, 5529, section);
    return false;
  }
  return ApplySectionLines(run, start, section, [&](const std::string& line) {
    return CreateShellLink(run, state, line);
  });
}

bool CreateOptionLinks(SetupRun& run, ShortcutState& state, int32_t optionIndex) {
  const OptionTable& table = EngineOf(run).options;
  return WalkProcessedOptions(run, optionIndex, [&](int32_t i) {
    const OptionRecord& option = table[i];
    const std::string parent = option.parent >= 0 ? table[option.parent].name : std::string();
    std::string section;
    const char* start =
        FirstSection(run, {"Shell:" + option.name, "Shell:<" + parent + ">"}, section);
    return !start || ApplySectionLines(run, start, section, [&](const std::string& line) {
      return CreateShellLink(run, state, line);
    });
  });
}

}  // namespace tarvium
