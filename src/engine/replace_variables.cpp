// The walk over the text copies plain stretches whole and handles one reference at a time: the
// name is split into its prefix, short-form and drive marks and suffix, its value is looked up
// (predefined table, environment, registry or INI reference) and dressed with those marks. The
// result is built in a separate string, which is what keeps inserted values from being rescanned.
#include "engine/replace_variables.h"

#include <string_view>

#include "engine/date_time_variables.h"
#include "engine/debug_output.h"
#include "engine/domain_accounts.h"
#include "engine/encrypted_value.h"
#include "engine/setup_run.h"
#include "engine/variable_reference_syntax.h"
#include "engine/variable_references.h"
#include "platform/ansi_case.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

bool IsDateTimeIndex(const VariableStore& store, int index) {
  static const int kFirst = store.Find("SysDate");
  return index >= kFirst && index < kFirst + 4;
}

// "C:\$TARVIUM$\NAME": resolved by the shortcut program, which can write such folders.
std::string ShortcutPlaceholder(SetupRun& run, const std::string& upperName) {
  std::string placeholder = "C:\\$TARVIUM$\\%" + upperName + "%";
  DebugOutput(run, placeholder);
  return placeholder;
}

void DressValue(SetupRun& run, const ReferenceParts& parts, std::string& value) {
  if (!value.empty() && value.back() == '\\' && !IsNonEmptyEncryptedValue(run, value))
    value.pop_back();
  if (parts.bShortForm && !value.empty()) {
    std::string shortPath;
    if (run.machine.Files().GetShortPathName(value, shortPath) == platform::ERROR_SUCCESS)
      value = shortPath;
  }
  if (value.empty()) return;
  if (run.variables.bShortcutPlaceholders && value.find('?') != std::string::npos)
    value = ShortcutPlaceholder(run, parts.name);
  if (parts.bDriveMark && value.size() > 1 && value[1] == ':') value[1] = '?';
  if (parts.cPrefix) value.insert(value.begin(), parts.cPrefix);
  if (parts.cSuffix == '\\') {
    if (value.back() != '\\') value.push_back('\\');
  } else if (parts.cSuffix) {
    value.push_back(parts.cSuffix);
  }
}

}  // namespace

std::string LookupVariable(SetupRun& run, const std::string& upperName) {
  VariableStore& store = run.variables;
  if (const int index = store.FindUpper(upperName); index >= 0) {
    if (store.ValueAt(index).empty()) {
      if (IsDateTimeIndex(store, index)) RefreshDateTime(run);
      FillDomainAccount(run, index);
    }
    return store.ValueAt(index);
  }
  std::string value;
  if (upperName.empty()) return value;
  if (run.machine.Env().GetVariable(upperName, value) == platform::ERROR_SUCCESS) return value;
  ReadReferencedValue(run, upperName, value);
  return value;
}

void ReplaceVariables(SetupRun& run, std::string& text, char cMark) {
  if (text.find(cMark) == std::string::npos) return;
  std::string out;
  out.reserve(text.size());
  WalkReferences(
      text, cMark, [&](std::string_view piece) { out.append(piece); },
      [&](std::string_view inner) {
        const ReferenceParts parts = SplitReference(inner);
        std::string value = LookupVariable(run, parts.name);
        DressValue(run, parts, value);
        out += value;
      });
  if (out.size() > kVariableLineSize - 1) out.resize(kVariableLineSize - 1);
  text = std::move(out);
}

}  // namespace tarvium
