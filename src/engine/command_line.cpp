// Each argument is either the setup information file name or one switch letter with its value;
// one handler per letter keeps every switch's effect in one short place. Values are cut to the
// sizes of their fields, as the fixed buffers of earlier releases cut them.
#include "engine/command_line.h"

#include <cstdlib>

#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "platform/ansi_case.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

constexpr size_t kAddParametersMax = 64767;

void CutTo(std::string& text, size_t nSize) {
  if (text.size() > nSize - 1) text.resize(nSize - 1);
}

std::string Cut(std::string_view text, size_t nSize) {
  std::string result(text);
  CutTo(result, nSize);
  return result;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// A name with a drive or a leading backslash as given; otherwise in the current directory, or
// beside the executable when it is not there.
void TakeInfFileName(SetupRun& run, const std::string& name) {
  std::string path = name;
  if (name.find(':') == std::string::npos && name.rfind('\\', 0) != 0) {
    std::string current;
    if (run.machine.Files().GetCurrentDirectory(current) != platform::ERROR_SUCCESS)
      current.clear();
    if (!current.empty() && current.back() == '\\') current.pop_back();
    path = current + "\\" + name;
    if (!run.machine.Files().FileExists(path)) path = run.ctx.szExeDir + "\\" + name;
  }
  ReplaceVariables(run, path);
  run.ctx.szInfFile = Cut(path, kPathSize);
}

void ParseSilent(SetupContext& ctx, std::string_view value) {
  ctx.bSilentToErrorPath = !value.empty() && (value[0] == 'X' || value[0] == 'x');
  if (ctx.bSilentToErrorPath) {
    if (ctx.bSilent) ctx.szSilentLevel = std::to_string(ctx.iSilentLevel);
    ctx.iSilentLevel = 0;
  } else {
    ctx.iSilentLevel = std::atoi(std::string(value).c_str());
  }
  ctx.bSilent = ctx.iSilentLevel != 3;
  if (!ctx.bSilentToErrorPath) ctx.szSilentLevel = std::to_string(ctx.iSilentLevel);
  if (ctx.iSilentLevel == 4) {
    ctx.iSilentLevel = 0;
    ctx.bSilent = true;
    ctx.bSilentNoEnd = true;
  }
}

void ParseDebug(SetupContext& ctx, std::string_view value) {
  if (!platform::AnsiStartsWithNoCase(value, "ebug")) {
    ctx.bFromCD = true;
    return;
  }
  ctx.bDebug = true;
  if (value.size() > 5 && value[4] == ':' && std::atoi(std::string(value.substr(5)).c_str()) == 1)
    ctx.bDebugStep = true;
}

void ParseRunFlags(SetupContext& ctx, std::string_view value) {
  const std::string text(value);
  const auto dwFlags = static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 16));
  ctx.dwRunFlags |= dwFlags;
  const size_t nColon = text.find(':');
  if ((dwFlags & 0x10) && nColon != std::string::npos)
    ctx.szForceOnceDate = Cut(text.substr(nColon + 1), kShortTextSize);
}

void ParseSourceDir(SetupRun& run, std::string_view value) {
  std::string dir(value);
  ReplaceVariables(run, dir);
  if (!dir.empty() && dir.back() != '\\') dir.push_back('\\');
  run.ctx.szSrcDir = Cut(dir, kPathSize);
}

char Upper(char c) {
  return platform::AnsiUpperChar(c);
}

void ApplySwitch(SetupRun& run, char cLetter, std::string_view value) {
  SetupContext& ctx = run.ctx;
  const char cFirst = value.empty() ? '\0' : Upper(value[0]);
  switch (cLetter) {
    case '?':
      ctx.bShowUsage = true;
      break;
    case 'A':
      ctx.bAdminSetup = true;
      ctx.bAdminToServer = ctx.bAdminToServer || cFirst == 'S';
      ctx.bAdminWorkstation = ctx.bAdminWorkstation || cFirst == 'W';
      ctx.bWorkstationSetup = ctx.bWorkstationSetup || cFirst == 'W';
      break;
    case 'B':
      ctx.szTraceFile = Cut(value, kPathSize);
      break;
    case 'C':
      ctx.bClientSwitch = true;
      break;
    case 'D':
      ParseDebug(ctx, value);
      break;
    case 'E':
      ctx.szErrorFile = Cut(value, kPathSize);
      break;
    case 'F':
      ctx.bMissingFilesToErrorFile = true;
      SetupTrace(run, "\n\nSetup.exe: found /F\n\n");
      break;
    case 'G':
      ctx.bServiceMode = true;
      ctx.bServiceModeW = ctx.bServiceModeW || cFirst == 'W';
      break;
    case 'I':
      ctx.szConnection = Cut(value, kShortTextSize);
      break;
    case 'L':
      ctx.bLocalOnly = true;
      break;
    case 'M':
      ctx.bModify = true;
      break;
    case 'N':
      ctx.bNewInstance = true;
      break;
    case 'O':
      ctx.szOptions = Cut(ctx.szOptions + std::string(value), kShortTextSize);
      break;
    case 'P':
      ParseSourceDir(run, value);
      break;
    case 'R':
      ctx.bRepair = true;
      break;
    case 'S':
      ParseSilent(ctx, value);
      break;
    case 'T':
      ctx.bTestRun = true;
      ctx.iTestKind = std::atoi(std::string(value).c_str());
      break;
    case 'U':
      ctx.bUninstall = true;
      break;
    case 'V': {
      const size_t nSemicolon = value.find(';');
      ctx.szRequiredVersion = Cut(value.substr(0, nSemicolon), kShortTextSize);
      ctx.szRequiredRevision = nSemicolon == std::string_view::npos
                                   ? ""
                                   : Cut(value.substr(nSemicolon + 1), kShortTextSize);
      break;
    }
    case 'W':
      ctx.hNotifyWindow = std::strtoull(std::string(value).c_str(), nullptr, 10);
      break;
    case 'X':
      ParseRunFlags(ctx, value);
      break;
    case 'Y':
      ctx.szShutdownSpec = Cut(value, kShortTextSize);
      break;
    case 'Z':
      ctx.szSetupProgram = Cut(value, kPathSize);
      break;
    default:
      break;  // letters without a meaning are ignored
  }
}

// "/Plan" is the one switch of more than a letter: "/Plan:FILE" or "/Plan=FILE", the name in any
// case. /P takes no value "lan" nor one starting "lan:" or "lan=", which are no directories; a
// "/Plan" without its file is still the plan switch, so that a mistyped plan never becomes a run.
constexpr std::string_view kPlanSwitch = "Plan";

bool IsPlanSwitch(std::string_view argument) {
  const size_t nEnd = 1 + kPlanSwitch.size();
  return argument.size() >= nEnd && (argument[0] == '/' || argument[0] == '-') &&
         platform::AnsiStartsWithNoCase(argument.substr(1), kPlanSwitch) &&
         (argument.size() == nEnd || argument[nEnd] == ':' || argument[nEnd] == '=');
}

std::string_view PlanFileIn(std::string_view argument) {
  const size_t nEnd = 1 + kPlanSwitch.size();
  return argument.size() > nEnd ? argument.substr(nEnd + 1) : std::string_view();
}

}  // namespace

std::optional<std::string> PlanFileOf(std::string_view commandText) {
  std::optional<std::string> file;
  for (const std::string& argument : SplitSetupArguments(commandText))
    if (IsPlanSwitch(argument)) file = std::string(PlanFileIn(argument));
  return file;
}

std::string BuildCommandText(SetupRun& run, const std::string& arguments) {
  const std::string iniFile = run.ctx.szExeDir + "\\Setup.ini";
  std::string extra =
      run.machine.Profiles().GetPrivateProfileString("Setup", "AddParameters", "", iniFile);
  if (extra.size() > kAddParametersMax) extra.resize(kAddParametersMax);
  return extra.empty() ? arguments : arguments + " " + extra;
}

std::vector<std::string> SplitSetupArguments(std::string_view text) {
  std::vector<std::string> arguments;
  size_t nPos = 0;
  while (nPos < text.size()) {
    while (nPos < text.size() && IsBlank(text[nPos])) ++nPos;
    if (nPos >= text.size()) break;
    std::string argument;
    bool bQuoted = false;
    for (; nPos < text.size() && (bQuoted || !IsBlank(text[nPos])); ++nPos) {
      if (text[nPos] == '"')
        bQuoted = !bQuoted;
      else
        argument.push_back(text[nPos]);
    }
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

void ParseCommandLine(SetupRun& run, const std::string& commandText) {
  if (run.ctx.szStartupDir.empty() &&
      run.machine.Files().GetCurrentDirectory(run.ctx.szStartupDir) != platform::ERROR_SUCCESS)
    run.ctx.szStartupDir.clear();
  for (const std::string& argument : SplitSetupArguments(commandText)) {
    if (argument.empty() || (argument[0] != '/' && argument[0] != '-')) {
      if (!argument.empty()) TakeInfFileName(run, argument);
      continue;
    }
    if (argument.size() < 2) continue;
    if (IsPlanSwitch(argument)) {
      run.ctx.szPlanFile = Cut(PlanFileIn(argument), kPathSize);
      continue;
    }
    const size_t nValue = argument.size() > 2 && argument[2] == ':' ? 3 : 2;
    ApplySwitch(run, Upper(argument[1]), std::string_view(argument).substr(nValue));
  }
}

bool ShowUsageIfAsked(SetupRun& run) {
  if (!run.ctx.bShowUsage) return false;
  ShowMessage(run, 5541);
  return true;
}

}  // namespace tarvium
