// The setup service's end of the pipe for the service tests: setup-agent's own session, run in a
// thread over the test machine's pipe server and answering from a script text, so that the
// engine's pipe client talks to the real peer over the real pipe.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "agent_script.h"
#include "agent_session.h"
#include "engine/setup_run.h"
#include "platform/win_error.h"
#include "service/service_pipe.h"

namespace tarvium::test {

class AgentPeer {
 public:
  static constexpr uint32_t kTimeoutMs = 10000;  // a broken test fails instead of hanging

  AgentPeer(platform::Machine& machine, std::string_view scriptText) : machine_(machine) {
    std::string error;
    EXPECT_TRUE(agent::ParseAgentScript(scriptText, script_, error)) << error;
    EXPECT_EQ(machine.Pipes().Create(kServicePipeName, server_), platform::ERROR_SUCCESS);
    thread_ = std::thread([this] {
      std::unique_ptr<platform::PipeConnection> connection;
      if (!server_ || server_->Accept(connection, kTimeoutMs) != platform::ERROR_SUCCESS) return;
      end_ = agent::ServeRun(*connection, script_, kTimeoutMs,
                             [this](const std::string& line) { log_.push_back(line); });
    });
  }
  ~AgentPeer() {
    if (thread_.joinable()) thread_.join();
  }

  // Closes the run's end of the pipe, waits for the session to end and removes the pipe. A peer
  // that nobody connected to is woken by a connection that closes at once.
  const std::vector<std::string>& Finish(SetupRun& run) {
    if (run.service) run.service->ClosePipe();
    std::unique_ptr<platform::PipeConnection> wake;
    machine_.Pipes().Open(kServicePipeName, wake);
    wake.reset();
    if (thread_.joinable()) thread_.join();
    server_.reset();
    return log_;
  }
  // The requests the agent received, in order (without their numbers).
  std::vector<std::string> Requests(SetupRun& run) {
    std::vector<std::string> requests;
    for (const std::string& line : Finish(run))
      if (const size_t nMark = line.find(" > "); nMark != std::string::npos)
        requests.push_back(line.substr(nMark + 3));
    return requests;
  }
  agent::SessionEnd End() const { return end_; }

 private:
  platform::Machine& machine_;
  agent::AgentScript script_;
  std::unique_ptr<platform::PipeServer> server_;
  std::vector<std::string> log_;
  agent::SessionEnd end_ = agent::SessionEnd::TimedOut;
  std::thread thread_;
};

}  // namespace tarvium::test
