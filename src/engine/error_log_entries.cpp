#include "engine/error_log_entries.h"

#include "engine/date_time_variables.h"
#include "engine/path_steps.h"
#include "engine/setup_run.h"

namespace tarvium {
namespace {

bool HasErrorFile(const SetupRun& run) {
  return run.log.hErrorFile != platform::FileHandle::Invalid;
}

// Date and time, then the position when a section is current and its line is known.
std::string EntryStart(const SetupRun& run) {
  std::string start = run.variables.Get("SysDate") + " " + run.variables.Get("LongSysTime");
  if (!run.position.section.empty() && run.position.nLine >= 1)
    start += ", Section [" + run.position.section + "], Line " +
             std::to_string(run.position.nLine) + ": ";
  return start;
}

void WriteEntry(SetupRun& run, const std::string& label, const std::string& text) {
  WriteErrorFile(run, EntryStart(run) + "\n" + label + ": " + text + "\n------------\n");
}

}  // namespace

void WriteErrorLogMsg(SetupRun& run, const std::string& text) {
  if (HasErrorFile(run)) WriteEntry(run, "ErrorLogMsg", text);
}

void WriteMissingFileEntry(SetupRun& run, const std::string& sourcePath) {
  if (!HasErrorFile(run)) return;
  RefreshDateTime(run);
  std::string path = sourcePath;
  RemoveParentSteps(path);
  WriteEntry(run, "File not found", path);
}

}  // namespace tarvium
