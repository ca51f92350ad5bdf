// The walk over the text copies plain stretches whole and handles one reference at a time: the
// name is split into its prefix, short-form and drive marks and suffix, its value is looked up
// (predefined table, environment, registry or INI reference) and dressed with those marks. The
// result is built in a separate string, which is what keeps inserted values from being rescanned.
#include "engine/replace_variables.h"

#include <string_view>

#include "engine/ansi_text.h"
#include "engine/date_time_variables.h"
#include "engine/debug_output.h"
#include "engine/domain_accounts.h"
#include "engine/encrypted_value.h"
#include "engine/setup_run.h"
#include "engine/variable_references.h"
#include "platform/ansi_case.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

struct ReferenceParts {
  std::string name;  // upper-cased, without the marks below
  char cPrefix = 0;
  char cSuffix = 0;
  bool bShortForm = false;
  bool bDriveMark = false;
};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsNameStart(char c) {
  return IsAnsiLetter(c) || IsDigit(c) || c == '$' || c == '_' || c == '-' || c == '~' || c == '?';
}

bool IsNameEnd(char c) {
  return IsAnsiLetter(c) || IsDigit(c) || c == '_' || c == '-' || c == '"' || c == ')';
}

ReferenceParts SplitReference(std::string_view text) {
  ReferenceParts parts;
  std::string name = platform::AnsiUpper(text);
  size_t nStart = 0;
  if (!name.empty() && !IsNameStart(name[0]) && name.rfind("\\\\", 0) != 0)
    parts.cPrefix = name[nStart++];
  parts.bShortForm = nStart < name.size() && name[nStart] == '~';
  if (parts.bShortForm) ++nStart;
  parts.bDriveMark = nStart < name.size() && name[nStart] == '?';
  if (parts.bDriveMark) ++nStart;
  size_t nEnd = name.size();
  if (nEnd > nStart && !IsNameEnd(name[nEnd - 1])) parts.cSuffix = name[--nEnd];
  parts.name = name.substr(nStart, nEnd - nStart);
  return parts;
}

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

// Handles the reference that starts at text[nMark]; returns the position after it.
size_t ReplaceOne(SetupRun& run, std::string_view text, size_t nMark, char cMark,
                  std::string& out) {
  const size_t nClose = text.find(cMark, nMark + 1);
  if (nClose == std::string_view::npos) {
    out.append(text.substr(nMark));
    return text.size();
  }
  const ReferenceParts parts = SplitReference(text.substr(nMark + 1, nClose - nMark - 1));
  std::string value = LookupVariable(run, parts.name);
  DressValue(run, parts, value);
  out += value;
  return nClose + 1;
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
  const std::string_view view = text;
  size_t nPos = 0;
  while (nPos < view.size() && out.size() < kVariableLineSize - 1) {
    const size_t nMark = view.find(cMark, nPos);
    out.append(view.substr(nPos, nMark == std::string_view::npos ? nMark : nMark - nPos));
    if (nMark == std::string_view::npos) break;
    const char cNext = nMark + 1 < view.size() ? view[nMark + 1] : '\0';
    if (cNext == '\0' || cNext == ',' || IsDigit(cNext)) {
      out.push_back(cMark);
      nPos = nMark + 1;
    } else if (cNext == cMark) {
      out.push_back(cMark);
      nPos = nMark + 2;
    } else {
      nPos = ReplaceOne(run, view, nMark, cMark, out);
    }
  }
  if (out.size() > kVariableLineSize - 1) out.resize(kVariableLineSize - 1);
  text = std::move(out);
}

}  // namespace tarvium
