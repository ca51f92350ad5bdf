#include "agent_script.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "platform/ansi_case.h"

namespace tarvium::agent {
namespace {

std::string_view Trim(std::string_view text) {
  const size_t nStart = text.find_first_not_of(" \t\r");
  if (nStart == std::string_view::npos) return {};
  const size_t nEnd = text.find_last_not_of(" \t\r");
  return text.substr(nStart, nEnd - nStart + 1);
}

bool ParseNumber(std::string_view text, int& nValue) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), nValue);
  return error == std::errc() && end == text.data() + text.size() && nValue > 0;
}

// "word rest": the first word upper-cased and the trimmed rest.
void SplitWord(std::string_view line, std::string& word, std::string_view& rest) {
  const size_t nBlank = line.find_first_of(" \t=");
  word = platform::AnsiUpper(std::string(line.substr(0, nBlank)));
  rest = nBlank == std::string_view::npos ? std::string_view() : Trim(line.substr(nBlank));
}

bool ParseNumbered(std::string_view key, std::string_view value, AgentScript& script, bool bFault) {
  int nRequest = 0;
  if (!ParseNumber(Trim(key), nRequest)) return false;
  if (!bFault) {
    script.replies[nRequest] = std::string(value);
    return true;
  }
  if (platform::AnsiEqualNoCase(value, "close")) {
    script.faults[nRequest] = AgentFault::Close;
  } else if (platform::AnsiEqualNoCase(value, "short")) {
    script.faults[nRequest] = AgentFault::Short;
  } else if (platform::AnsiEqualNoCase(value, "stall")) {
    script.faults[nRequest] = AgentFault::Stall;
  } else {
    return false;
  }
  return true;
}

bool ParseLine(std::string_view line, AgentScript& script) {
  std::string word;
  std::string_view rest;
  SplitWord(line, word, rest);
  if (word == "INIT" && !rest.empty() && rest[0] != '=') {
    script.initQuestions.emplace_back(rest);
    return true;
  }
  if (word == "ENDINIT" && !rest.empty() && rest[0] != '=') {
    script.endInit = std::string(rest);
    return true;
  }
  if (word == "GETSIZE" && rest.find('=') == std::string_view::npos) {
    script.optionSizeNames.emplace_back(rest);
    return true;
  }
  const size_t nEquals = line.find('=');
  if (nEquals == std::string_view::npos) return false;
  const std::string_view key = Trim(line.substr(0, nEquals));
  const std::string_view value = Trim(line.substr(nEquals + 1));
  if (word == "REPLY" || word == "FAULT")
    return ParseNumbered(key.substr(word.size()), value, script, word == "FAULT");
  if (key.empty()) return false;
  script.answers[platform::AnsiUpper(std::string(key))].emplace_back(value);
  return true;
}

constexpr std::array<std::string_view, 9> kNotifications = {
    "SETPROGRESSPOS",   "SETPROGRESSTEXT", "ECHO", "PLAYSOUND", "SHOWPICTURE", "SPLASHDIALOGON",
    "SPLASHDIALOGTEXT", "SPLASHDIALOGOFF", "EXIT"};

}  // namespace

bool ParseAgentScript(std::string_view text, AgentScript& script, std::string& error) {
  int nLine = 0;
  while (!text.empty()) {
    const size_t nEnd = text.find('\n');
    const std::string_view line = Trim(text.substr(0, nEnd));
    text.remove_prefix(nEnd == std::string_view::npos ? text.size() : nEnd + 1);
    ++nLine;
    if (line.empty() || line[0] == '#') continue;
    if (!ParseLine(line, script)) {
      error = "line " + std::to_string(nLine) + ": " + std::string(line);
      return false;
    }
  }
  return true;
}

std::string RequestKey(std::string_view request) {
  if (platform::AnsiStartsWithNoCase(request, "error;")) {
    request.remove_prefix(6);
    return platform::AnsiUpper(std::string(request.substr(0, request.find(';'))));
  }
  if (platform::AnsiStartsWithNoCase(request, "[options]")) return "OPTIONS";
  if (platform::AnsiStartsWithNoCase(request, "PROMPT=")) return "PROMPT";
  if (platform::AnsiStartsWithNoCase(request, "init\r\n")) return "INIT";
  return platform::AnsiUpper(std::string(request.substr(0, request.find_first_of("; "))));
}

std::string DefaultReply(const std::string& key, std::string_view request) {
  if (std::find(kNotifications.begin(), kNotifications.end(), key) != kNotifications.end())
    return "0";
  return platform::AnsiStartsWithNoCase(request, "error;") ? "0;ok" : "0;next";
}

}  // namespace tarvium::agent
