// A config.sys section edits the whole text in memory and writes it once at the end; an invalid
// line stops the section before anything is written. REM, SET and PATH lines are batch lines.
#include "engine/ansi_text.h"
#include "engine/replace_variables.h"
#include "engine/run_plan.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "engine/show_message.h"
#include "install/section_counts.h"
#include "platform/ansi_case.h"
#include "platform/win_error.h"
#include "sysconfig/batch_text.h"
#include "sysconfig/config_text.h"
#include "sysconfig/section_files.h"
#include "sysconfig/startup_sections.h"

namespace tarvium {
namespace {

constexpr uint32_t kPlatformNt = 2;

std::string ConfigFilePath(SetupRun& run, const std::string& configFile) {
  if (run.machine.System().OsVersion().dwPlatformId != kPlatformNt) return configFile;
  std::string dir;
  run.machine.System().GetSpecialFolder(platform::SpecialFolder::System, dir);
  if (!dir.empty() && dir.back() == '\\') dir.pop_back();
  return dir + "\\CONFIG.NT";
}

bool IsBatchWord(std::string_view line) {
  line = line.substr(0, line.find_first_of(" \t="));
  return platform::AnsiEqualNoCase(line, "REM") || platform::AnsiEqualNoCase(line, "SET") ||
         platform::AnsiEqualNoCase(line, "PATH");
}

enum class LineResult { Applied, NotUndone, Invalid };

// A parameter line applied to the text; Invalid (after 5531) for a line of no valid form.
LineResult EditConfigLine(SetupRun& run, std::string& text, std::string_view body) {
  if (IsBatchWord(body)) {
    text = EditBatText(text, body, run.ctx.bUninstall);
    return LineResult::Applied;
  }
  const size_t nEquals = body.find('=');
  if (nEquals == std::string_view::npos && body[0] != '+' && body[0] != '-') {
    ShowMessage(run, 5531, std::string(body));
    return LineResult::Invalid;
  }
  std::string_view name = body.substr(0, nEquals);
  std::optional<std::string> value;
  if (nEquals != std::string_view::npos) value = std::string(TrimAnsi(body.substr(nEquals + 1)));
  ConfigEdit mode = name[0] == '-'   ? ConfigEdit::Delete
                    : name[0] == '+' ? ConfigEdit::Add
                                     : ConfigEdit::Set;
  if (mode != ConfigEdit::Set) name.remove_prefix(1);
  if (run.ctx.bUninstall) {
    if (mode == ConfigEdit::Delete) return LineResult::NotUndone;
    mode = ConfigEdit::Delete;
  }
  text = EditConfigText(text, TrimAnsi(name), value, mode);
  return LineResult::Applied;
}

// The line applied, with its decision on a plan; false for a line of no valid form.
bool ApplyConfigLine(SetupRun& run, const std::string& path, std::string& text,
                     const std::string& raw) {
  std::string line = raw;
  ReplaceVariables(run, line);
  const std::string_view body = TrimAnsi(line);
  const std::string before = run.plan ? text : std::string();
  switch (EditConfigLine(run, text, body)) {
    case LineResult::Invalid:
      return false;
    case LineResult::NotUndone:
      NotePlan(run, "config", path, "skip",
               std::string(body) + ": the removal does not undo a delete line");
      return true;
    case LineResult::Applied:
      NotePlanTextLine(run, "config", path, body, text != before);
      return true;
  }
  return true;
}

}  // namespace

bool HandleConfigSysSection(SetupRun& run, const std::string& sectionName,
                            const std::string& configFile) {
  if (!StepSectionCount(run, sectionName)) return true;
  const std::string path = ConfigFilePath(run, configFile);
  if (!SectionExists(run, sectionName)) {
    ShowMessage(run, 5529, sectionName);
    return false;
  }
  SetupTrace(run, "HandleConfigSysSection(%s): %s\n", sectionName.c_str(), path.c_str());
  if (!CreateFileIfMissing(run, path)) return false;
  std::string text;
  platform::IniEncoding encoding = platform::IniEncoding::Ansi;
  if (!ReadFileText(run, path, text, encoding)) return false;
  const bool bOk = ForEachSectionLine(run, sectionName, {}, [&](const std::string& line) {
    return ApplyConfigLine(run, path, text, line);
  });
  return bOk && WriteFileAnew(run, path, text, encoding);
}

}  // namespace tarvium
