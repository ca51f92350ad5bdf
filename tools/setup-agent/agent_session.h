// One run served by setup-agent: the blocks of the setup service's protocol read from and
// written to one pipe connection, answered from the script, and every request and reply written
// to the log. The session ends with the run's "exit", when the run closes the pipe, at a fault
// the script asks for, or when the run stays silent longer than the time-out.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "agent_script.h"
#include "platform/named_pipe.h"

namespace tarvium::agent {

enum class SessionEnd {
  Exit,     // the run sent "exit"
  Fault,    // the script's fault closed the connection
  Closed,   // the run closed the pipe without "exit"
  TimedOut  // no request within the time-out
};

using AgentLog = std::function<void(const std::string& line)>;

SessionEnd ServeRun(platform::PipeConnection& pipe, const AgentScript& script, uint32_t dwTimeoutMs,
                    const AgentLog& log);

// A request or reply as one log line: carriage returns and line feeds as <CR> and <LF>.
std::string LogText(const std::string& text);

}  // namespace tarvium::agent
