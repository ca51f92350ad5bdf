#include "service/pipe_init.h"

#include <string>

#include "engine/debug_output.h"
#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "install/install_engine.h"
#include "install/option_record.h"
#include "platform/ansi_case.h"
#include "platform/win_error.h"
#include "service/service_pipe.h"
#include "service/service_reply.h"

namespace tarvium {
namespace {

std::string InitRequestText(const SetupRun& run) {
  const std::string& level = run.ctx.szSilentLevel;
  return "init\r\n" + run.ctx.szInfFile + "\r\n" + (level.empty() ? std::string("5") : level);
}

// "Name;1200" for an option of that size; empty for an option that does not exist.
std::string SizeAnswer(SetupRun& run, const std::string& optionName) {
  const OptionTable& table = EngineOf(run).options;
  const int32_t i = FindOption(table, optionName);
  if (i <= 0) return "";
  return optionName + ";" + std::to_string(static_cast<int32_t>(table[i].size));
}

// The answer to one question of the service; false for a question the engine does not know.
bool AnswerInitRequest(SetupRun& run, const InitRequest& request, std::string& answer) {
  if (!request.bHasArgument) return false;
  if (platform::AnsiEqualNoCase(request.word, "resolve")) {
    answer = request.argument;
    ReplaceVariables(run, answer);
    return true;
  }
  if (platform::AnsiEqualNoCase(request.word, "getsize")) {
    answer = SizeAnswer(run, request.argument);
    return true;
  }
  return false;
}

void TraceInitFailure(SetupRun& run, uint32_t dwError) {
  DebugOutput(run, SourcePlace(__FILE__, __LINE__) +
                       ": PipeInitFailed(errno=" + std::to_string(dwError) + "):\n");
}

}  // namespace

bool PipeInit(SetupRun& run, ServicePipe& pipe) {
  std::string reply;
  uint32_t dwError = pipe.Exchange(run, InitRequestText(run), reply);
  while (dwError == platform::ERROR_SUCCESS && !platform::AnsiEqualNoCase(reply, "endinit")) {
    std::string answer;
    if (!AnswerInitRequest(run, ParseInitRequest(reply), answer)) {
      DebugOutput(run, "received unknown command from pipe\n");
      return false;
    }
    dwError = pipe.Exchange(run, answer, reply);
  }
  if (dwError != platform::ERROR_SUCCESS) TraceInitFailure(run, dwError);
  return dwError == platform::ERROR_SUCCESS;
}

}  // namespace tarvium
