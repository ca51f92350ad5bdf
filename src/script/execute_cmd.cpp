#include "script/execute_cmd.h"

#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "platform/ansi_case.h"
#include "script/if_line.h"
#include "script/script_chars.h"

namespace tarvium {
namespace {

bool IsIfLine(const std::string& line) {
  size_t nStart = 0;
  while (nStart < line.size() && IsScriptBlank(line[nStart])) ++nStart;
  return platform::AnsiStartsWithNoCase(std::string_view(line).substr(nStart), "IF") &&
         (nStart + 2 == line.size() || IsScriptBlank(line[nStart + 2]));
}

}  // namespace

int ExecuteCmd(SetupRun& run, const std::string& line, const CommandPass& pass, bool bSizing, bool,
               int64_t* pnBytes) {
  if (pass.bNotCarriedOut) return 1;
  if (IsIfLine(line)) return ExecuteIf(run, line, bSizing, pnBytes) ? 1 : 0;
  if (!bSizing) SetupTrace(run, "Command not carried out yet: %s\n", line.c_str());
  return 1;
}

}  // namespace tarvium
