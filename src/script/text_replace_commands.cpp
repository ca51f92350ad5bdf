// ReplaceTextFile, ReplaceRegValue and ReplaceVars: text replaced in a file or a string value of
// the registry. The search text is compared without regard to case; every occurrence is replaced,
// or only the n-th when an occurrence n above 0 is given. A value keeps its type; ReplaceVars works
// line by line, so a long file is not cut to the length of one variable line.
#include <algorithm>

#include "engine/registry_text.h"
#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "platform/ansi_case.h"
#include "script/command_handlers.h"
#include "script/decimal_text.h"

namespace tarvium {
namespace {

std::string ReplaceOccurrences(const std::string& text, const std::string& search,
                               const std::string& replacement, int32_t nOccurrence) {
  if (search.empty()) return text;
  const std::string upperText = platform::AnsiUpper(text);
  const std::string upperSearch = platform::AnsiUpper(search);
  std::string result;
  size_t nFrom = 0;
  int32_t nSeen = 0;
  for (size_t nAt; (nAt = upperText.find(upperSearch, nFrom)) != std::string::npos;) {
    ++nSeen;
    const bool bReplace = nOccurrence <= 0 || nSeen == nOccurrence;
    result.append(text, nFrom, nAt - nFrom);
    result += bReplace ? replacement : text.substr(nAt, search.size());
    nFrom = nAt + search.size();
    if (nOccurrence > 0 && nSeen == nOccurrence) break;
  }
  return result + text.substr(nFrom);
}

}  // namespace

bool ReplaceTextFileCommand(CommandCall& call) {
  const std::vector<std::string> args = ListArguments(call.arguments);
  const std::string file = ArgumentAt(args, 0);
  if (file.empty() || ArgumentAt(args, 1).empty()) return MissingArgument(call);
  platform::FileSystem& files = call.run.machine.Files();
  std::string text;
  if (files.ReadWholeFile(file, text) != platform::ERROR_SUCCESS) return false;
  const std::string changed =
      ReplaceOccurrences(text, args[1], ArgumentAt(args, 2), ReadDecimal(ArgumentAt(args, 3)));
  return changed == text || files.WriteWholeFile(file, changed) == platform::ERROR_SUCCESS;
}

bool ReplaceRegValueCommand(CommandCall& call) {
  const std::vector<std::string> args = ListArguments(call.arguments);
  platform::RegRoot root;
  if (args.size() < 4 || ParseRootName(args[0], root) != RootName::Supported)
    return MissingArgument(call);
  platform::Registry& registry = call.run.machine.Reg();
  platform::RegValue value;
  if (registry.QueryValue(root, args[1], args[2], value) != platform::ERROR_SUCCESS ||
      (value.dwType != platform::REG_SZ && value.dwType != platform::REG_EXPAND_SZ))
    return false;
  std::string text(value.data.begin(), value.data.end());
  text.resize(std::min(text.find('\0'), text.size()));
  const std::string changed =
      ReplaceOccurrences(text, args[3], ArgumentAt(args, 4), ReadDecimal(ArgumentAt(args, 5)));
  if (changed == text) return true;
  value.data.assign(changed.begin(), changed.end());
  value.data.push_back(0);
  return registry.SetValue(root, args[1], args[2], value) == platform::ERROR_SUCCESS;
}

bool ReplaceVarsCommand(CommandCall& call) {
  const std::string file = ArgumentAt(WordArguments(call.arguments), 0);
  if (file.empty()) return MissingArgument(call);
  platform::FileSystem& files = call.run.machine.Files();
  std::string text;
  if (files.ReadWholeFile(file, text) != platform::ERROR_SUCCESS) return false;
  std::string replaced;
  for (size_t nStart = 0; nStart < text.size();) {
    const size_t nEnd = std::min(text.find('\n', nStart), text.size());
    std::string line = text.substr(nStart, nEnd - nStart);
    ReplaceVariables(call.run, line);
    replaced += line;
    if (nEnd < text.size()) replaced += '\n';
    nStart = nEnd + 1;
  }
  return files.WriteWholeFile(file, replaced) == platform::ERROR_SUCCESS;
}

}  // namespace tarvium
