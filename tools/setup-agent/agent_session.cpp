#include "agent_session.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <optional>

#include "platform/win_error.h"

namespace tarvium::agent {
namespace {

constexpr size_t kBlockSize = 16384;
constexpr size_t kShortBlockSize = 16;

class Session {
 public:
  Session(platform::PipeConnection& pipe, const AgentScript& script, uint32_t dwTimeoutMs,
          const AgentLog& log)
      : pipe_(pipe), script_(script), dwTimeoutMs_(dwTimeoutMs), log_(log) {}

  SessionEnd Run() {
    std::string request;
    for (;;) {
      if (const auto end = Receive(request); end) return *end;
      const std::string key = RequestKey(request);
      if (key == "INIT") {
        if (const auto end = AskInitQuestions(request); end) return *end;
      } else if (key == "OPTIONS") {
        if (const auto end = AskOptionSizes(request); end) return *end;
      }
      if (const auto end = Send(ReplyTo(key, request)); end) return *end;
      if (key == "EXIT") return SessionEnd::Exit;
    }
  }

 private:
  using End = std::optional<SessionEnd>;

  End Receive(std::string& request) {
    std::array<char, kBlockSize> block{};
    size_t nRead = 0;
    const uint32_t dwError = pipe_.Read(block.data(), block.size(), nRead, dwTimeoutMs_);
    if (dwError == platform::ERROR_WAIT_TIMEOUT) {
      log_("timed out waiting for a request");
      return SessionEnd::TimedOut;
    }
    if (dwError != platform::ERROR_SUCCESS) {
      log_("the run closed the pipe" +
           (nRead ? " after a short block of " + std::to_string(nRead) + " bytes" : std::string()));
      return SessionEnd::Closed;
    }
    request.assign(block.data(), strnlen(block.data(), block.size()));
    log_(std::to_string(++nRequest_) + " > " + LogText(request));
    return std::nullopt;
  }

  End Send(const std::string& reply) {
    const auto fault = script_.faults.find(nRequest_);
    if (fault != script_.faults.end() && fault->second == AgentFault::Close) {
      log_(std::to_string(nRequest_) + " ! closing the pipe without a reply");
      return SessionEnd::Fault;
    }
    std::array<char, kBlockSize> block{};
    std::memcpy(block.data(), reply.data(), std::min(reply.size(), kBlockSize - 1));
    const bool bStall = fault != script_.faults.end() && fault->second == AgentFault::Stall;
    const bool bShort =
        bStall || (fault != script_.faults.end() && fault->second == AgentFault::Short);
    log_(std::to_string(nRequest_) + " < " + LogText(reply) + (bShort ? " (short block)" : ""));
    const uint32_t dwError = pipe_.Write(block.data(), bShort ? kShortBlockSize : block.size());
    if (bStall) WaitForTheRunToClose();
    if (bShort) return SessionEnd::Fault;
    if (dwError != platform::ERROR_SUCCESS) {
      log_("the run closed the pipe before the reply");
      return SessionEnd::Closed;
    }
    return std::nullopt;
  }

  // Keeps the pipe open, reading nothing more from the run, until the run closes its end.
  void WaitForTheRunToClose() {
    std::array<char, kBlockSize> block{};
    size_t nRead = 0;
    const uint32_t dwError = pipe_.Read(block.data(), block.size(), nRead, dwTimeoutMs_);
    log_(dwError == platform::ERROR_WAIT_TIMEOUT ? "timed out waiting for the run to close the pipe"
                                                 : "the run closed the pipe");
  }

  // A question of the agent and the run's answer, which the log shows as the next request.
  End Ask(const std::string& question) {
    if (const auto end = Send(question); end) return end;
    std::string answer;
    return Receive(answer);
  }

  End AskInitQuestions(const std::string&) {
    for (const std::string& question : script_.initQuestions)
      if (const auto end = Ask(question); end) return end;
    return std::nullopt;
  }

  End AskOptionSizes(const std::string&) {
    for (const std::string& name : script_.optionSizeNames)
      if (const auto end = Ask("getsize;" + name); end) return end;
    return std::nullopt;
  }

  std::string ReplyTo(const std::string& key, const std::string& request) {
    if (const auto replay = script_.replies.find(nRequest_); replay != script_.replies.end())
      return replay->second;
    if (key == "INIT") return script_.endInit;
    const auto answers = script_.answers.find(key);
    if (answers == script_.answers.end()) {
      const auto fallback = script_.answers.find("DEFAULT");
      const bool bNotification = DefaultReply(key, request) == "0";
      if (fallback == script_.answers.end() || bNotification) return DefaultReply(key, request);
      return fallback->second.back();
    }
    size_t& nUsed = used_[key];
    const std::string& reply = answers->second[std::min(nUsed, answers->second.size() - 1)];
    ++nUsed;
    return reply;
  }

  platform::PipeConnection& pipe_;
  const AgentScript& script_;
  uint32_t dwTimeoutMs_;
  const AgentLog& log_;
  int nRequest_ = 0;
  std::map<std::string, size_t> used_;  // replies used per key
};

}  // namespace

SessionEnd ServeRun(platform::PipeConnection& pipe, const AgentScript& script, uint32_t dwTimeoutMs,
                    const AgentLog& log) {
  return Session(pipe, script, dwTimeoutMs, log).Run();
}

std::string LogText(const std::string& text) {
  std::string line;
  for (char c : text) {
    if (c == '\r')
      line += "<CR>";
    else if (c == '\n')
      line += "<LF>";
    else
      line += c;
  }
  return line;
}

}  // namespace tarvium::agent
