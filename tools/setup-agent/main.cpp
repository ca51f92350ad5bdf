// setup-agent: the setup service's end of the pipe for one run of Setup.exe /G. It creates the
// pipe "\\.\pipe\SetupSendPipe" on the machine that TARVIUM_MACHINE names (as the other tools;
// on Windows, the computer it runs on), waits for the run, answers it from a script file and logs
// every request it received and every reply it sent; it ends with the run. A packager drives
// unattended runs with it; the end-to-end tests use it for every service scenario.
// Usage: setup-agent [--timeout SECONDS] [--log FILE] [--pipe NAME] SCRIPT | --version
// Exit codes: 0 the run ended with "exit" (or at a fault the script asked for), 1 the run closed
// the pipe without "exit", 2 bad arguments, script or pipe, 3 time-out.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "agent_script.h"
#include "agent_session.h"
#include "platform/error_text.h"
#include "platform/local_services.h"
#include "platform/win_error.h"
#include "standard_answers.h"

namespace {

using tarvium::agent::SessionEnd;

struct AgentArguments {
  uint32_t dwTimeoutMs = 60000;
  std::string logFile;  // empty: standard output
  std::string pipeName = "\\\\.\\pipe\\SetupSendPipe";
  std::string scriptFile;
};

constexpr const char* kUsage =
    "usage: setup-agent [--timeout SECONDS] [--log FILE] [--pipe NAME] SCRIPT | --version\n"
    "Serves one run of Setup.exe /G on this computer (on Linux, on the emulated machine of\n"
    "TARVIUM_MACHINE).\n";

int Usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

bool ParseArguments(int argc, char** argv, AgentArguments& args) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool bHasValue = i + 1 < argc;
    if (arg == "--timeout" && bHasValue) {
      const long nSeconds = std::strtol(argv[++i], nullptr, 10);
      if (nSeconds <= 0 || nSeconds > 86400) return false;
      args.dwTimeoutMs = static_cast<uint32_t>(nSeconds * 1000);
    } else if (arg == "--log" && bHasValue) {
      args.logFile = argv[++i];
    } else if (arg == "--pipe" && bHasValue) {
      args.pipeName = argv[++i];
    } else if (arg.rfind("--", 0) == 0 || !args.scriptFile.empty()) {
      return false;
    } else {
      args.scriptFile = arg;
    }
  }
  return !args.scriptFile.empty();
}

bool ReadScript(const std::string& path, tarvium::agent::AgentScript& script) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "setup-agent: cannot read the script '%s'\n", path.c_str());
    return false;
  }
  std::stringstream text;
  text << in.rdbuf();
  std::string error;
  if (ParseAgentScript(text.str(), script, error)) return true;
  std::fprintf(stderr, "setup-agent: %s: cannot read %s\n", path.c_str(), error.c_str());
  return false;
}

int ExitCodeOf(SessionEnd end) {
  switch (end) {
    case SessionEnd::Exit:
    case SessionEnd::Fault:
      return 0;
    case SessionEnd::Closed:
      return 1;
    case SessionEnd::TimedOut:
      return 3;
  }
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (const auto answered = tarvium::AnswerVersionOrUsage(argc, argv, "setup-agent", kUsage))
    return *answered;
  AgentArguments args;
  if (!ParseArguments(argc, argv, args)) return Usage();
  tarvium::agent::AgentScript script;
  if (!ReadScript(args.scriptFile, script)) return 2;
  std::FILE* log = args.logFile.empty() ? stdout : std::fopen(args.logFile.c_str(), "w");
  if (!log) {
    std::fprintf(stderr, "setup-agent: cannot write the log '%s'\n", args.logFile.c_str());
    return 2;
  }
  std::string where;
  const std::unique_ptr<platform::NamedPipes> pipes = platform::OpenLocalPipes(where);
  std::unique_ptr<platform::PipeServer> server;
  if (const uint32_t dwError = pipes->Create(args.pipeName, server);
      dwError != platform::ERROR_SUCCESS) {
    std::fprintf(stderr, "setup-agent: cannot create %s on %s: %s", args.pipeName.c_str(),
                 where.c_str(), platform::SystemErrorText(dwError).c_str());
    return 2;
  }
  std::printf("setup-agent: listening on %s\n", args.pipeName.c_str());
  std::fflush(stdout);
  std::unique_ptr<platform::PipeConnection> connection;
  if (server->Accept(connection, args.dwTimeoutMs) != platform::ERROR_SUCCESS) {
    std::fprintf(stderr, "setup-agent: no run connected in time\n");
    return 3;
  }
  const SessionEnd end =
      ServeRun(*connection, script, args.dwTimeoutMs, [log](const std::string& line) {
        std::fprintf(log, "%s\n", line.c_str());
        std::fflush(log);
      });
  if (log != stdout) std::fclose(log);
  return ExitCodeOf(end);
}
