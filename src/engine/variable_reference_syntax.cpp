// The name rules of a reference: a first character that cannot start a name is a prefix (except
// the two backslashes of a UNC path), then '~' asks for the short form and '?' for the drive
// mark; a last character that cannot end a name is a suffix.
#include "engine/variable_reference_syntax.h"

#include "engine/ansi_text.h"
#include "platform/ansi_case.h"

namespace tarvium {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsNameStart(char c) {
  return IsAnsiLetter(c) || IsDigit(c) || c == '$' || c == '_' || c == '-' || c == '~' || c == '?';
}

bool IsNameEnd(char c) {
  return IsAnsiLetter(c) || IsDigit(c) || c == '_' || c == '-' || c == '"' || c == ')';
}

}  // namespace

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

}  // namespace tarvium
