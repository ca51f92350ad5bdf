// What a parsed registry line does to the machine. The uninstall pass inverts every line (adds
// become deletes, deletes are not undone), and the deletes of that pass prune the keys that became
// empty, so a section removes what it added without any record per line. Append lines splice
// their data into the existing value and cut it out again.
#include "sysconfig/reg_lines.h"

#include <algorithm>

#include "engine/ansi_text.h"
#include "engine/registry_operations.h"
#include "engine/replace_variables.h"
#include "engine/run_plan.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "engine/show_message.h"
#include "install/copy_flags.h"
#include "platform/reg_root_names.h"
#include "platform/reg_value_text.h"
#include "platform/win_error.h"
#include "sysconfig/reg_line.h"

namespace tarvium {
namespace {

using platform::RegValue;

// Strings run on over their final NUL when appended. A string built from hexadecimal bytes is
// bytes: it ends where its bytes end, so it is appended and cut out whole.
bool RunsOnAsString(const RegLine& reg) {
  return !reg.textFromHex &&
         (reg.dwType == platform::REG_SZ || reg.dwType == platform::REG_EXPAND_SZ ||
          reg.dwType == platform::REG_MULTI_SZ);
}

bool AppendsBytes(const RegLine& reg) {
  return reg.textFromHex || reg.dwType == platform::REG_BINARY;
}

// What the line's data is in an existing value: strings without their final NUL.
std::vector<uint8_t> AppendedPart(const RegLine& reg) {
  std::vector<uint8_t> part = reg.data;
  if (RunsOnAsString(reg) && !part.empty()) part.pop_back();
  return part;
}

uint32_t CreateKeyForLine(platform::Registry& registry, const RegLine& reg) {
  if (reg.bRootMissing) return platform::ERROR_INVALID_HANDLE;
  uint32_t dwError = registry.CreateKey(reg.root, reg.keyPath, false);
  if (dwError == platform::ERROR_CHILD_MUST_BE_VOLATILE)
    dwError = registry.CreateKey(reg.root, reg.keyPath, true);
  return dwError;
}

// Appending runs strings on (the old final NUL is replaced) and adds bytes to bytes; other types
// are left as they are.
uint32_t AppendToValue(platform::Registry& registry, const RegLine& reg, RegValue old) {
  if (RunsOnAsString(reg)) {
    if (!old.data.empty()) old.data.pop_back();
  } else if (!AppendsBytes(reg)) {
    return platform::ERROR_SUCCESS;
  }
  old.dwType = reg.dwType;
  old.data.insert(old.data.end(), reg.data.begin(), reg.data.end());
  return registry.SetValue(reg.root, reg.keyPath, reg.valueName, old);
}

uint32_t AddLine(SetupRun& run, const RegLine& reg, const RegValue* pExisting) {
  platform::Registry& registry = run.machine.Reg();
  if (const uint32_t dwError = CreateKeyForLine(registry, reg)) return dwError;
  if (reg.append && pExisting) return AppendToValue(registry, reg, *pExisting);
  if (reg.keyOnly) return platform::ERROR_SUCCESS;
  return registry.SetValue(reg.root, reg.keyPath, reg.valueName, RegValue{reg.dwType, reg.data});
}

// Cuts the first occurrence of the appended part out of the value; a value left without bytes
// is deleted.
void CutAppendedPart(platform::Registry& registry, const RegLine& reg, RegValue old) {
  if (!RunsOnAsString(reg) && !AppendsBytes(reg)) return;
  const std::vector<uint8_t> part = AppendedPart(reg);
  if (part.empty()) return;
  const auto found = std::search(old.data.begin(), old.data.end(), part.begin(), part.end());
  if (found == old.data.end()) return;
  old.data.erase(found, found + static_cast<ptrdiff_t>(part.size()));
  if (old.data.empty())
    registry.DeleteValue(reg.root, reg.keyPath, reg.valueName);
  else
    registry.SetValue(reg.root, reg.keyPath, reg.valueName, old);
}

// A line that keeps an existing value deletes it only while it holds the line's data.
bool KeepsOtherData(const RegLine& reg, const RegValue* pExisting) {
  return !reg.append && reg.noClobber && !(pExisting && pExisting->data == reg.data);
}

void DeleteValueLine(SetupRun& run, const RegLine& reg, const RegValue* pExisting) {
  platform::Registry& registry = run.machine.Reg();
  if (reg.bRootMissing || registry.OpenKey(reg.root, reg.keyPath) != platform::ERROR_SUCCESS)
    return;
  if (reg.append && pExisting)
    CutAppendedPart(registry, reg, *pExisting);
  else if (!KeepsOtherData(reg, pExisting))
    registry.DeleteValue(reg.root, reg.keyPath, reg.valueName);
  if (run.ctx.bUninstall) RegPruneEmptyKeys(run, reg.root, reg.keyPath, true);
}

// A key line of the uninstall pass: a key that still has subkeys only loses its default value.
void DeleteKeyLine(SetupRun& run, const RegLine& reg) {
  if (reg.bRootMissing) return;
  if (!run.ctx.bUninstall) {
    RegDeleteTree(run, reg.root, reg.keyPath, true);
    return;
  }
  if (RegCountSubkeys(run, reg.root, reg.keyPath) > 0)
    RegDeleteValueAt(run, reg.root, reg.keyPath, "");
  else
    RegDeleteKeyAt(run, reg.root, reg.keyPath);
  RegPruneEmptyKeys(run, reg.root, reg.keyPath, false);
}

bool ReadExisting(SetupRun& run, const RegLine& reg, RegValue& value) {
  return !reg.bRootMissing && run.machine.Reg().QueryValue(reg.root, reg.keyPath, reg.valueName,
                                                           value) == platform::ERROR_SUCCESS;
}

// Lines a machine-part run or a user setup leaves to the other part of the installation.
bool BelongsToOtherPart(const SetupRun& run, bool bCurrentUser, uint32_t dwSectionFlags) {
  if (IsMachinePartRun(run.ctx) && bCurrentUser) return true;
  return run.ctx.bUserPartRun && !bCurrentUser && !(dwSectionFlags & COPY_CLIENT);
}

// What the plan names: the key, and the value after a colon.
std::string PlanSubject(const RegLine& reg) {
  std::string subject = std::string(platform::RegRootName(reg.root)) + "\\" + reg.keyPath;
  if (!reg.keyOnly && !(reg.isDelete && reg.valueName.empty()))
    subject += ": " + (reg.valueName.empty() ? std::string("(default)") : reg.valueName);
  return subject;
}

void NoteLine(SetupRun& run, const RegLine& reg, std::string decision, std::string reason) {
  if (run.plan) NotePlan(run, "registry", PlanSubject(reg), std::move(decision), std::move(reason));
}

// The decision of a line that was carried out.
void NoteCarriedOut(SetupRun& run, const RegLine& reg, bool bUndone, const RegValue* pExisting) {
  if (bUndone && !reg.valueName.empty() && KeepsOtherData(reg, pExisting))
    NoteLine(run, reg, "keep",
             pExisting ? "the value's data is not the line's and the line keeps an existing value"
                       : "the value is not there");
  else if (bUndone)
    NoteLine(run, reg, "remove", "the removal takes away what the line adds");
  else if (reg.isDelete)
    NoteLine(run, reg, "delete", "a delete line");
  else if (reg.append)
    NoteLine(run, reg, "append", pExisting ? "added to the value there" : "the value is not there");
  else
    NoteLine(run, reg, "set",
             reg.keyOnly ? "a key line" : platform::RegValueText(RegValue{reg.dwType, reg.data}));
}

}  // namespace

bool HandleRegLine(SetupRun& run, const std::string& line, uint32_t dwSectionFlags) {
  RegLine reg;
  const std::string_view text = RegLineBody(line, reg.isDelete);
  if (TrimAnsi(text).empty()) return true;
  const std::string body(text);
  SetupTrace(run, "HandleRegLine(%s)\n", body.c_str());
  if (!ParseRegLine(
          text, [&](std::string& s) { ReplaceVariables(run, s); }, reg)) {
    NotePlan(run, "registry", body, "skip", "no registry line: no known root");
    return true;
  }
  const bool bCurrentUser = reg.root == platform::RegRoot::CurrentUser;
  MapCurrentUserRoot(run, reg.root, reg.keyPath);
  RegValue existing;
  const bool bUninstall = run.ctx.bUninstall;
  const bool bExists = (reg.noClobber || reg.append) && ReadExisting(run, reg, existing);
  if (reg.noClobber && bExists && !bUninstall) {
    NoteLine(run, reg, "keep", "the value is there and the line keeps an existing value");
    return true;
  }
  SetupTrace(run, "    Key=%s\n", reg.keyPath.c_str());
  SetupTrace(run, "    ValueName=%s\n", reg.valueName.c_str());
  SetupTrace(run, "    Value=%s\n", reg.valueText.c_str());
  if (bUninstall) {
    if (reg.isDelete) {  // deletions are not undone
      NoteLine(run, reg, "skip", "the removal does not undo a delete line");
      return true;
    }
    reg.isDelete = true;
  }
  if (BelongsToOtherPart(run, bCurrentUser, dwSectionFlags)) {
    NoteLine(run, reg, "skip", "the other part of the installation writes it");
    return true;
  }
  const RegValue* pExisting = bExists ? &existing : nullptr;
  if (reg.isDelete) {
    if (reg.valueName.empty())
      DeleteKeyLine(run, reg);
    else
      DeleteValueLine(run, reg, pExisting);
    NoteCarriedOut(run, reg, bUninstall, pExisting);
    return true;
  }
  const uint32_t dwError = AddLine(run, reg, pExisting);
  if (dwError == platform::ERROR_SUCCESS) {
    NoteCarriedOut(run, reg, false, pExisting);
    return true;
  }
  NoteLine(run, reg, "failed", "error " + std::to_string(dwError));
  if (!run.ctx.bWarnRegistry) return true;
  const std::string& name = reg.valueName.empty() ? reg.keyPath : reg.valueName;
  return ShowMessage(run, 5518, name, static_cast<int64_t>(dwError)) == kResultIgnore;
}

}  // namespace tarvium
