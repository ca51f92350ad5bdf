// A registry section runs as one registry transaction: a run killed in the middle leaves the
// section whole or absent, and a section of thousands of lines costs one commit instead of
// thousands. A failing line does not end the transaction, so its message (5518) can still be
// answered with Ignore and the lines after it applied.
#include "engine/inf_file.h"
#include "engine/inf_reader.h"
#include "engine/pump_messages.h"
#include "engine/replace_variables.h"
#include "engine/section_position.h"
#include "engine/setup_run.h"
#include "engine/show_message.h"
#include "install/copy_flags.h"
#include "install/section_counts.h"
#include "platform/win_error.h"
#include "sysconfig/reg_lines.h"

namespace tarvium {
namespace {

// The uninstall pass as this section sees it; the run's own flag comes back at the end.
class UninstallPassScope {
 public:
  UninstallPassScope(SetupContext& ctx, bool bUninstall) : ctx_(ctx), bSaved_(ctx.bUninstall) {
    ctx_.bUninstall = bUninstall;
  }
  ~UninstallPassScope() { ctx_.bUninstall = bSaved_; }
  UninstallPassScope(const UninstallPassScope&) = delete;
  UninstallPassScope& operator=(const UninstallPassScope&) = delete;

 private:
  SetupContext& ctx_;
  bool bSaved_;
};

bool RunLines(SetupRun& run, const std::string& sectionName, const char* start,
              uint32_t dwSectionFlags) {
  InfSection cursor;
  OpenSection(cursor, start, false, false, run.ctx.bUninstall);
  const SectionPositionScope position(run);
  std::string line;
  while (NextLine(cursor, line, kVariableLineSize)) {
    SetPosition(run, sectionName, cursor.CurrentLineNumber());
    if (run.script.traceLine) run.script.traceLine(run, sectionName, run.position.nLine, line);
    if (!HandleRegLine(run, line, dwSectionFlags)) return false;
    if (!run.ctx.bSilent && !PumpWindowMessages(run)) return false;
  }
  return true;
}

}  // namespace

bool HandleRegSection(SetupRun& run, const std::string& sectionName, uint32_t dwSectionFlags) {
  const bool bDeleteSection = run.ctx.bUninstall && (dwSectionFlags & COPY_DELETE);
  if (!bDeleteSection && !StepSectionCount(run, sectionName)) return true;
  const UninstallPassScope pass(run.ctx, run.ctx.bUninstall && !bDeleteSection);
  // The section's Caption (or text 5004) would title the main window while it runs; this
  // build's user interface has no title to change.
  const char* start = run.inf ? FindSection(*run.inf, sectionName) : nullptr;
  if (!start) {
    ShowMessage(run, 5529, sectionName);
    return false;
  }
  bool bOk = true;
  const uint32_t dwCommit = run.machine.Reg().WriteAsOne([&] {
    bOk = RunLines(run, sectionName, start, dwSectionFlags);
    return uint32_t{platform::ERROR_SUCCESS};
  });
  return bOk && dwCommit == platform::ERROR_SUCCESS;
}

}  // namespace tarvium
