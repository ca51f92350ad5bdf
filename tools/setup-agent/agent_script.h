// The script that tells setup-agent how to answer a run: line by line, what to ask while the run
// opens the exchange, what to reply to each kind of request, which replies to give by the number
// of the request (to replay a recorded run) and where to break the connection on purpose. The
// format is described in the README ("Driving a run with setup-agent").
#pragma once
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tarvium::agent {

// A fault the script asks for at one request.
enum class AgentFault {
  Close,  // close the connection without a reply
  Short,  // send the reply as a block shorter than 16384 bytes, then close
  Stall,  // send the reply as a short block and keep the pipe open until the run closes it
};

struct AgentScript {
  std::vector<std::string> initQuestions;    // "init resolve;%WINDIR%": asked after "init"
  std::string endInit = "endinit";           // "endinit ENDINIT": the word that ends the opening
  std::vector<std::string> optionSizeNames;  // "getsize Main": asked inside "[options]"
  // "askdir = 0;next;C:\App": replies by request key (upper-cased); given more than once, the
  // replies are used in turn and the last one stays.
  std::map<std::string, std::vector<std::string>> answers;
  std::map<int, std::string> replies;  // "reply 3 = text": the reply to request number 3
  std::map<int, AgentFault> faults;    // "fault 3 = close"
};

// Reads a script; false with the line that could not be read in `error`.
bool ParseAgentScript(std::string_view text, AgentScript& script, std::string& error);

// The key a request is answered by: the ERR_ name of "error;ERR_X;...", "OPTIONS" for
// "[options]", "PROMPT" for "PROMPT=...", "INIT" for the opening, else its first word (up to ';'
// or a blank), upper-cased.
std::string RequestKey(std::string_view request);

// The reply to a request that no script line answers: "0" to notifications and "exit", "0;ok"
// to messages, "0;next" to dialogs, prompts and options.
std::string DefaultReply(const std::string& key, std::string_view request);

}  // namespace tarvium::agent
