// A line is split as ExecuteCmd splits it (reverse mark, CommandNameEnd) and looked up in the
// engine's command table (FindCommand), whose entries say how many arguments each handler needs
// and reads at most, and in which form it reads them (CountArguments); Set's NAME=value and its
// function call are the expression check's. Copy lines and section references are the
// walk's; lines of handler sections are not commands.
#include "command_check.h"

#include <string>

#include "engine/ansi_text.h"
#include "expression_check.h"
#include "install/section_dispatch.h"
#include "platform/ansi_case.h"
#include "script/command_handlers.h"
#include "script/execute_cmd.h"
#include "script/if_line.h"
#include "script/script_command.h"
#include "sysconfig/reg_line.h"
#include "sysconfig/update_counter.h"

namespace tarvium::lint {
namespace {

// A word the engine would start as a program: anything with a path, an extension, a quote or a
// variable in it may name one; a bare word is most likely a misspelt command.
bool CanBeProgram(std::string_view name) {
  return name.find_first_of("\\/:.%\"") != std::string_view::npos;
}

// A line that starts with a registry root, as a registry section's lines do.
bool IsRegistryLine(std::string_view text) {
  bool bDelete = false;
  RegLine reg;
  return ParseRegLine(
      RegLineBody(text, bDelete), [](std::string&) {}, reg);
}

bool IsIfLine(std::string_view text) {
  return text.size() > 2 && platform::AnsiStartsWithNoCase(text, "IF") && IsAnsiSpace(text[2]);
}

bool IsCounterCommand(const CommandEntry& entry) {
  for (const CommandHandler handler :
       {IncrementCommand, DecrementCommand, MultiplyCommand, DivideCommand})
    if (entry.handler == handler) return true;
  return false;
}

// The counter update reads its target after '(' or a blank; a line with neither fails.
void CheckCounter(const CommandEntry& entry, std::string_view body, int nLine, LintReport& report) {
  std::string target, amount;
  if (SplitCounterArguments(std::string(body), target, amount)) return;
  report.Add(nLine, Severity::Error, "bad-command",
             std::string(entry.name) +
                 " names no counter (%Name%, %HKLM,Key,Value% or %File,Section,Key%): the line "
                 "fails and its section stops");
}

void CheckCommandLine(std::string_view line, int nLine, LintReport& report) {
  std::string_view body = TrimAnsi(line);
  if (!body.empty() && body[0] == '-') body = TrimAnsiLeft(body.substr(1));
  if (body.empty() || body[0] == '#' || (body[0] >= '0' && body[0] <= '9')) return;
  if (IsIfLine(body)) {
    for (const std::string& command : IfLineCommands(body))
      CheckCommandLine(command, nLine, report);
    return;
  }
  const std::string_view name = body.substr(0, CommandNameEnd(body));
  const CommandEntry* pEntry = FindCommand(name);
  if (!pEntry) {
    if (IsRegistryLine(body))
      report.Add(nLine, Severity::Warning, "bad-command",
                 "a registry line in a section no registry handler reads: the engine starts it "
                 "as a program (message 5508, cannot execute); put it in a registry section "
                 "(Name.reg) that the section refers to");
    else if (!name.empty() && !CanBeProgram(name))
      report.Add(nLine, Severity::Error, "bad-command",
                 "'" + std::string(name) +
                     "' is no command: the engine would start a program of that name");
    return;
  }
  if (IsCounterCommand(*pEntry)) return CheckCounter(*pEntry, body, nLine, report);
  const std::string_view arguments = body.substr(name.size());
  if (pEntry == FindCommand("Set")) return CheckSetArguments(arguments, nLine, report);
  const size_t nGiven = CountArguments(*pEntry, arguments);
  if (nGiven < pEntry->nRequired)
    report.Add(nLine, Severity::Error, "bad-command",
               std::string(pEntry->name) + " needs " + std::to_string(pEntry->nRequired) +
                   " argument(s), the line gives " + std::to_string(nGiven) +
                   " (message 5528 at run time)");
  else if (nGiven > pEntry->nAllowed)
    report.Add(nLine, Severity::Warning, "bad-command",
               std::string(pEntry->name) + " takes " + std::to_string(pEntry->nAllowed) +
                   " argument(s), the line gives " + std::to_string(nGiven) +
                   ": the engine ignores the rest (a path with blanks needs quotes)");
}

}  // namespace

void CheckCommands(const InfFile& inf, const LineNumbers& numbers, const WalkResult& walk,
                   LintReport& report) {
  for (const std::string& section : walk.sections) {
    if (IsSpecialSection(section)) continue;
    ForEachSectionLine(
        inf, numbers, FindSection(inf, section),
        [&](const std::string& line, int nLine) { CheckCommandLine(line, nLine, report); });
  }
}

}  // namespace tarvium::lint
