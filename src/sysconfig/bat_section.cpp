// A batch section edits its file's text in memory and writes it once at the end. For the
// autoexec.bat of NT platforms there is no file: each SET or PATH line is applied to a one-line
// text built from the current environment value in the registry, and the edited line is written
// back there (or the value deleted when the line went).
#include "engine/machine_environment.h"
#include "engine/registry_operations.h"
#include "engine/replace_variables.h"
#include "engine/run_plan.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "engine/show_message.h"
#include "install/section_counts.h"
#include "platform/ansi_case.h"
#include "platform/win_error.h"
#include "sysconfig/batch_text.h"
#include "sysconfig/section_files.h"
#include "sysconfig/startup_sections.h"

namespace tarvium {
namespace {

constexpr uint32_t kPlatformNt = 2;
constexpr uint32_t kEnvironmentBroadcastMs = 3000;
constexpr const char* kUserEnvironment = "Environment";

struct EnvironmentKey {
  platform::RegRoot root;
  const char* keyPath;
};

EnvironmentKey RunEnvironmentKey(SetupRun& run) {
  if (run.ctx.bUserPartRun) return {platform::RegRoot::CurrentUser, kUserEnvironment};
  return {platform::RegRoot::LocalMachine, kMachineEnvironmentKey};
}

std::string_view CutLineEnds(std::string_view text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.remove_suffix(1);
  return text;
}

// One SET or PATH line of the NT autoexec.bat, applied to the environment in the registry.
void ApplyEnvironmentLine(SetupRun& run, const std::string& line) {
  std::string_view body = line;
  while (!body.empty() && (body[0] == '-' || body[0] == ' ' || body[0] == '\t'))
    body.remove_prefix(1);
  const BatLine parsed = ClassifyBatLine(body);
  if (parsed.kind == BatLineKind::Command) {
    NotePlan(run, "environment", line, "skip", "a command: the environment has no place for it");
    return;
  }
  const bool bPath = parsed.kind == BatLineKind::Path || parsed.bSetsPath;
  const std::string name = bPath ? "PATH" : parsed.name;
  const EnvironmentKey env = RunEnvironmentKey(run);
  std::string current;
  RegReadTextRaw(run, env.root, env.keyPath, name, current);
  while (!current.empty() && current.back() == '\0') current.pop_back();
  std::string text;
  if (!current.empty()) text = (bPath ? "PATH " + current : "SET " + name + "=" + current) + "\r\n";
  const std::string edited(CutLineEnds(EditBatText(text, line, run.ctx.bUninstall)));
  if (edited.empty()) {
    RegDeleteValueAt(run, env.root, env.keyPath, name);
    NotePlan(run, "environment", name, "delete", "the line leaves the variable empty");
    return;
  }
  // After the '=' of a SET line, after "PATH" and its blank or '=' of a PATH line.
  const std::string value = ClassifyBatLine(edited).value;
  RegWriteEnvText(run, env.root, env.keyPath, name, value);
  if (!bPath) run.machine.Env().SetVariable(name, value);
  NotePlan(run, "environment", name, "set", value);
}

bool HasExtension(const std::string& file) {
  const size_t nSlash = file.find_last_of("\\/:");
  return file.find('.', nSlash == std::string::npos ? 0 : nSlash + 1) != std::string::npos;
}

// The batch file's full path: `Path` in front, else the client directory for a bare name.
std::string BatchFilePath(SetupRun& run, const std::string& section, std::string file) {
  if (!HasExtension(file)) file += ".bat";
  const std::string path = ReadSectionPath(run, section);
  if (!path.empty()) return path + file;
  const bool bAnchored = file.find(':') != std::string::npos || (!file.empty() && file[0] == '\\');
  if (bAnchored) return file;
  std::string client = run.variables.Get("Client");
  if (!client.empty() && client.back() != '\\') client += '\\';
  return client + file;
}

}  // namespace

bool HandleBatSection(SetupRun& run, const std::string& sectionName, const std::string& batchFile) {
  if (!StepSectionCount(run, sectionName)) return true;
  const std::string path = BatchFilePath(run, sectionName, batchFile);
  if (!SectionExists(run, sectionName)) {
    ShowMessage(run, 5529, sectionName);
    return false;
  }
  SetupTrace(run, "HandleBatSection(%s): %s\n", sectionName.c_str(), path.c_str());
  const bool bNtAutoexec = platform::AnsiEqualNoCase(path, "c:\\autoexec.bat") &&
                           run.machine.System().OsVersion().dwPlatformId == kPlatformNt;
  std::string text;
  platform::IniEncoding encoding = platform::IniEncoding::Ansi;
  if (!bNtAutoexec) {
    if (!CreateFileIfMissing(run, path)) return false;
    if (!ReadFileText(run, path, text, encoding)) return false;
  }
  bool bApplied = false;
  const bool bOk = ForEachSectionLine(run, sectionName, {"Path"}, [&](const std::string& raw) {
    std::string line = raw;
    ReplaceVariables(run, line);
    if (bNtAutoexec) {
      ApplyEnvironmentLine(run, line);
    } else {
      std::string edited = EditBatText(text, line, run.ctx.bUninstall);
      NotePlanTextLine(run, "batch", path, line, edited != text);
      text = std::move(edited);
    }
    bApplied = true;
    return true;
  });
  if (bNtAutoexec) {
    run.machine.Broadcasts().BroadcastSettingChange("Environment", kEnvironmentBroadcastMs);
    return bOk;
  }
  return bOk && (!bApplied || WriteFileAnew(run, path, text, encoding));
}

}  // namespace tarvium
