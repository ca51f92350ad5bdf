// A variable line is prepared in steps (replace references, resolve "\..", decrypt, evaluate a
// function call) and then stored as one environment entry, which is how user variables live.
#include "engine/variable_sections.h"

#include "engine/ansi_text.h"
#include "engine/debug_output.h"
#include "engine/encrypted_value.h"
#include "engine/evaluate_assignment.h"
#include "engine/inf_file.h"
#include "engine/inf_reader.h"
#include "engine/path_steps.h"
#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "platform/ansi_case.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

// Stores "NAME=value" (cut to its maximum) in the environment; an empty value removes it.
bool PutEnvironmentEntry(SetupRun& run, std::string entry) {
  if (entry.size() > kEnvironmentEntryMax) entry.resize(kEnvironmentEntryMax);
  const size_t nEquals = entry.find('=');
  if (nEquals == std::string::npos || nEquals == 0) return false;
  const std::string name = platform::AnsiUpper(entry.substr(0, nEquals));
  const std::string value = entry.substr(nEquals + 1);
  if (value.empty()) {
    const uint32_t err = run.machine.Env().DeleteVariable(name);
    return err == platform::ERROR_SUCCESS || err == platform::ERROR_ENVVAR_NOT_FOUND;
  }
  return run.machine.Env().SetVariable(name, value) == platform::ERROR_SUCCESS;
}

bool StartsWithReference(const std::string& value) {
  return value.rfind("%", 0) == 0 || value.rfind("#%", 0) == 0 || value.rfind("*%", 0) == 0;
}

void ReplaceEncryptedValue(SetupRun& run, std::string& value) {
  for (int nRound = 0; StartsWithReference(value); ++nRound) {
    if (nRound == kMaxReplaceRounds) {
      DebugOutput(run, "Encrypted value still refers to a variable after " +
                           std::to_string(kMaxReplaceRounds) + " replacements: " + value + "\n");
      return;
    }
    const std::string before = value;
    ReplaceVariables(run, value);
    if (value == before) break;
  }
}

bool IsKeptValuesPath(SetupRun& run, std::string_view name) {
  if (!platform::AnsiEqualNoCase(name, "V_MachineValuesPath") &&
      !platform::AnsiEqualNoCase(name, "V_UserValuesPath"))
    return false;
  std::string existing;
  return run.machine.Env().GetVariable(std::string(name), existing) == platform::ERROR_SUCCESS;
}

// Prepares and stores one non-empty line; false when it could not be stored.
bool LoadVariableLine(SetupRun& run, std::string line, bool bNormalizePaths, bool bEncrypted) {
  size_t nEquals = line.find('=');
  if (!bEncrypted) ReplaceVariables(run, line);
  if (bEncrypted && nEquals != std::string::npos) {
    std::string value = line.substr(nEquals + 1);
    ReplaceEncryptedValue(run, value);
    line.replace(nEquals + 1, std::string::npos, value);
  }
  if (bNormalizePaths) RemoveParentSteps(line);
  nEquals = line.find('=');
  if (bEncrypted && nEquals != std::string::npos) {
    std::string value = line.substr(nEquals + 1);
    DecryptGuard(run, value);
    line.replace(nEquals + 1, std::string::npos, value);
  }
  if (run.ctx.bDebug) DebugOutput(run, line);
  const std::string name(TrimAnsi(std::string_view(line).substr(0, nEquals)));
  if (IsKeptValuesPath(run, name)) return true;
  if (bEncrypted || nEquals == std::string::npos) return PutEnvironmentEntry(run, line);
  std::string assignment = platform::AnsiUpper(name) + "=" +
                           std::string(TrimAnsi(std::string_view(line).substr(nEquals + 1)));
  if (!EvaluateAssignment(run, assignment)) return true;  // a malformed call: 5528 was shown
  return PutEnvironmentEntry(run, std::move(assignment));
}

}  // namespace

bool SetVariable(SetupRun& run, const std::string& name, const std::string& value) {
  std::string entry = name + "=" + value;
  if (entry.size() > kEnvironmentEntryMax) entry.resize(kEnvironmentEntryMax);
  if (run.ctx.bDebug) DebugOutput(run, entry);
  if (const int index = run.variables.Find(name); index >= 0) {
    run.variables.SetAt(index, std::string_view(entry).substr(name.size() + 1));
    return true;
  }
  return PutEnvironmentEntry(run, std::move(entry));
}

bool LoadVariableSection(SetupRun& run, const InfFile& inf, std::string_view section,
                         bool bNormalizePaths, bool bEncrypted) {
  bool bOk = true;
  std::string line;
  for (const char* pos = FindSection(inf, section); pos;) {
    pos = ReadLine(pos, &line, kVariableLineSize, false, false);
    if (TrimAnsi(line).empty()) continue;
    if (!LoadVariableLine(run, std::string(TrimAnsi(line)), bNormalizePaths, bEncrypted)) {
      ShowMessage(run, 5500, line);
      bOk = false;
    }
  }
  return bOk;
}

}  // namespace tarvium
