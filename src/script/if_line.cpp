// The line is split into its condition and up to three tokens after " THEN" before anything is
// evaluated, so that a faulty line runs neither its condition's functions nor a command.
#include "script/if_line.h"

#include <string>
#include <vector>

#include "engine/ansi_text.h"
#include "engine/replace_variables.h"
#include "engine/run_plan.h"
#include "engine/setup_run.h"
#include "engine/show_message.h"
#include "platform/ansi_case.h"
#include "script/evaluate_condition.h"
#include "script/script_chars.h"

namespace tarvium {
namespace {

struct IfParts {
  std::string_view condition;
  std::string thenCommand;
  std::string elseCommand;
  bool bHasElse = false;
};

// Blank-separated tokens; quotes (double or single) are removed and may enclose blanks.
std::vector<std::string> SplitTokens(std::string_view text, size_t nMax) {
  std::vector<std::string> tokens;
  size_t nPos = 0;
  while (tokens.size() < nMax) {
    while (nPos < text.size() && IsScriptBlank(text[nPos])) ++nPos;
    if (nPos >= text.size()) break;
    std::string token;
    while (nPos < text.size() && !IsScriptBlank(text[nPos])) {
      const char c = text[nPos++];
      if (c != '"' && c != '\'') {
        token += c;
        continue;
      }
      const size_t nClose = text.find(c, nPos);
      const size_t nEnd = nClose == std::string_view::npos ? text.size() : nClose;
      token.append(text.substr(nPos, nEnd - nPos));
      nPos = nClose == std::string_view::npos ? text.size() : nClose + 1;
    }
    tokens.push_back(std::move(token));
  }
  return tokens;
}

size_t FindThen(std::string_view text) {
  for (size_t i = 0; i + 5 <= text.size(); ++i)
    if (text[i] == ' ' && platform::AnsiEqualNoCase(text.substr(i + 1, 4), "THEN")) return i;
  return std::string_view::npos;
}

// Null for a valid IF line, else what part of it cannot be read.
const char* SplitIfLine(std::string_view line, IfParts& parts) {
  while (!line.empty() && IsScriptBlank(line[0])) line.remove_prefix(1);
  if (!platform::AnsiStartsWithNoCase(line, "IF")) return "it does not start with IF";
  line.remove_prefix(2);
  const size_t nThen = FindThen(line);
  if (nThen == std::string_view::npos) return "no ' THEN' after the condition";
  parts.condition = line.substr(0, nThen);
  std::vector<std::string> tokens = SplitTokens(line.substr(nThen + 5), 3);
  if (tokens.empty()) return "no command after THEN";
  parts.thenCommand = std::move(tokens[0]);
  if (tokens.size() == 1 || platform::AnsiEqualNoCase(tokens[1], "ENDIF")) return nullptr;
  if (!platform::AnsiEqualNoCase(tokens[1], "ELSE"))
    return "a word after the command that is neither ELSE nor ENDIF";
  if (tokens.size() < 3) return "no command after ELSE";
  parts.bHasElse = true;
  parts.elseCommand = std::move(tokens[2]);
  return nullptr;
}

bool RunChosenLine(SetupRun& run, const std::string& command, bool bSizing, int64_t* pnBytes) {
  const SectionLineHooks& lines = run.sectionLines;
  if (!bSizing) return !lines.processLine || lines.processLine(run, command);
  if (lines.measureLine && pnBytes) *pnBytes += lines.measureLine(run, command);
  return true;
}

}  // namespace

// The size computation meets every line before it is carried out: a faulty line's messages wait
// for the carrying out, so that they are shown once.
bool ExecuteIf(SetupRun& run, std::string_view line, bool bSizing, int64_t* pnBytes) {
  IfParts parts;
  if (SplitIfLine(line, parts)) {
    if (!bSizing) ShowMessage(run, 5528, std::string(line));
    return true;
  }
  ReplaceVariables(run, parts.thenCommand);
  ReplaceVariables(run, parts.elseCommand);
  const bool bTrue = bSizing ? EvaluateConditionChain(run, ParseCondition(parts.condition).chain)
                             : EvaluateCondition(run, parts.condition);
  const bool bRuns = bTrue || parts.bHasElse;
  const std::string& chosen = bTrue ? parts.thenCommand : parts.elseCommand;
  if (run.plan && !bSizing)
    NotePlan(run, "condition", std::string(TrimAnsi(line)), bTrue ? "true" : "false",
             bRuns ? "runs " + chosen : "the line does nothing");
  return !bRuns || RunChosenLine(run, chosen, bSizing, pnBytes);
}

std::optional<std::string_view> IfLineCondition(std::string_view line) {
  IfParts parts;
  if (SplitIfLine(line, parts)) return std::nullopt;
  return parts.condition;
}

const char* IfLineFault(std::string_view line) {
  IfParts parts;
  return SplitIfLine(line, parts);
}

std::vector<std::string> IfLineCommands(std::string_view line) {
  IfParts parts;
  if (SplitIfLine(line, parts)) return {};
  if (!parts.bHasElse) return {std::move(parts.thenCommand)};
  return {std::move(parts.thenCommand), std::move(parts.elseCommand)};
}

}  // namespace tarvium
