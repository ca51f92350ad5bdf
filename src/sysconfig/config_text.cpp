// Lines are compared by their first two words, split at blanks and '='; lines that do not match
// keep their bytes and line ends. New lines end in CR LF.
#include "sysconfig/config_text.h"

#include <array>

#include "engine/ansi_text.h"
#include "platform/ansi_case.h"

namespace tarvium {
namespace {

using platform::AnsiEqualNoCase;

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kSeparators = " \t=";

std::array<std::string_view, 2> FirstTwoWords(std::string_view line) {
  std::array<std::string_view, 2> words{};
  size_t nPos = 0;
  for (std::string_view& word : words) {
    const size_t nStart = line.find_first_not_of(kSeparators, nPos);
    if (nStart == std::string_view::npos) break;
    size_t nEnd = line.find_first_of(kSeparators, nStart);
    if (nEnd == std::string_view::npos) nEnd = line.size();
    word = line.substr(nStart, nEnd - nStart);
    nPos = nEnd;
  }
  return words;
}

bool IsDriverKeyword(std::string_view word) {
  return AnsiEqualNoCase(word, "device") || AnsiEqualNoCase(word, "devicehigh");
}

std::string FirstWord(std::string_view text) {
  text = TrimAnsiLeft(text);
  return std::string(text.substr(0, text.find_first_of(" \t")));
}

std::string ParameterLine(std::string_view name, const std::optional<std::string>& value) {
  return value ? std::string(name) + " = " + *value : std::string(name);
}

}  // namespace

std::string EditConfigText(std::string_view text, std::string_view name,
                           const std::optional<std::string>& value, ConfigEdit mode) {
  std::string out;
  auto appendNew = [&](std::string_view keyword) {
    if (!out.empty() && out.back() != '\n' && out.back() != '\r') out += kCrLf;
    out += ParameterLine(keyword, value) + std::string(kCrLf);
  };
  if (mode == ConfigEdit::Add) {
    out = text;
    appendNew(name);
    return out;
  }
  const bool bDriverRule = value && IsDriverKeyword(name);
  const std::string driver = value ? FirstWord(*value) : std::string();
  bool bMatched = false;
  size_t nPos = 0;
  while (nPos < text.size()) {
    size_t nBreak = text.find_first_of(kCrLf, nPos);
    if (nBreak == std::string_view::npos) nBreak = text.size();
    const size_t nNext = text.compare(nBreak, 2, kCrLf) == 0 ? nBreak + 2
                         : nBreak < text.size()              ? nBreak + 1
                                                             : nBreak;
    const std::string_view body = text.substr(nPos, nBreak - nPos);
    const auto words = FirstTwoWords(body.substr(0, kConfigLineMax));
    const bool bMatch = bDriverRule && IsDriverKeyword(words[0]) ? AnsiEqualNoCase(words[1], driver)
                                                                 : AnsiEqualNoCase(words[0], name);
    if (!bMatch) {
      out.append(text.substr(nPos, nNext - nPos));
    } else {
      bMatched = true;
      if (mode == ConfigEdit::Set) {
        out += ParameterLine(bDriverRule ? words[0] : name, value);
        out += nNext > nBreak ? text.substr(nBreak, nNext - nBreak) : kCrLf;
      }
    }
    nPos = nNext;
  }
  if (!bMatched && mode == ConfigEdit::Set) appendNew(name);
  return out;
}

}  // namespace tarvium
