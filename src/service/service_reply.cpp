#include "service/service_reply.h"

#include <array>
#include <charconv>
#include <utility>

#include "platform/ansi_case.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

constexpr std::array<std::pair<std::string_view, int>, 10> kDialogAnswerWords = {{
    {"yes", 6},
    {"no", 2},
    {"ok", 1},
    {"cancel", 2},
    {"next", 1},
    {"prev", 998},
    {"fromcd", 7105},
    {"local", 7102},
    {"back", 998},
    {"skip", 996},
}};

uint32_t StatusOf(std::string_view field) {
  uint32_t dwStatus = 0;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), dwStatus);
  const bool bNumber = error == std::errc() && end == field.data() + field.size();
  return bNumber ? dwStatus : platform::ERROR_INVALID_DATA;
}

// The next field between separators; runs of separators count as one, as strtok reads them.
std::string_view NextToken(std::string_view& text, std::string_view separators) {
  const size_t nStart = text.find_first_not_of(separators);
  if (nStart == std::string_view::npos) {
    text = {};
    return {};
  }
  text.remove_prefix(nStart);
  const size_t nEnd = text.find_first_of(separators);
  const std::string_view token = text.substr(0, nEnd);
  text.remove_prefix(nEnd == std::string_view::npos ? text.size() : nEnd);
  return token;
}

}  // namespace

std::vector<std::string> SplitReplyFields(std::string_view reply) {
  std::vector<std::string> fields;
  for (;;) {
    const size_t nSemicolon = reply.find(';');
    fields.emplace_back(reply.substr(0, nSemicolon));
    if (nSemicolon == std::string_view::npos) return fields;
    reply.remove_prefix(nSemicolon + 1);
  }
}

int DialogAnswerResult(std::string_view word) {
  for (const auto& [answer, nResult] : kDialogAnswerWords)
    if (platform::AnsiEqualNoCase(word, answer)) return nResult;
  return 2;
}

DialogReply ParseDialogReply(std::string_view reply) {
  DialogReply parsed;
  std::vector<std::string> fields = SplitReplyFields(reply);
  parsed.dwStatus = StatusOf(fields[0]);
  if (parsed.dwStatus != 0 || fields.size() < 2) return parsed;
  parsed.bHasAnswer = true;
  parsed.nResult = DialogAnswerResult(fields[1]);
  parsed.values.assign(std::make_move_iterator(fields.begin() + 2),
                       std::make_move_iterator(fields.end()));
  return parsed;
}

InitRequest ParseInitRequest(std::string_view reply) {
  constexpr std::string_view kSeparators = ";\r\n";
  InitRequest request;
  request.word = NextToken(reply, kSeparators);
  const std::string_view argument = NextToken(reply, kSeparators);
  request.bHasArgument = !argument.empty();
  request.argument = argument;
  return request;
}

}  // namespace tarvium
