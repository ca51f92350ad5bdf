#include "script/service_message.h"

#include <charconv>

#include "engine/debug_output.h"
#include "engine/setup_run.h"
#include "platform/win_error.h"
#include "script/message_format.h"
#include "script/message_names.h"
#include "script/message_spec.h"

namespace tarvium {
namespace {

// The field template of the placeholders of a text template: ";%s;%ld" for "%s ... %ld".
std::string FieldTemplate(std::string_view textTemplate) {
  static constexpr std::string_view kPlaceholders[] = {"%s", "%S", "%ld", "%u", "%d"};
  std::string fields;
  for (size_t i = 0; i < textTemplate.size(); ++i) {
    if (textTemplate[i] != '%') continue;
    for (std::string_view placeholder : kPlaceholders) {
      if (textTemplate.substr(i, placeholder.size()) == placeholder) {
        fields += ';';
        fields += placeholder;
        i += placeholder.size() - 1;
        break;
      }
    }
  }
  return fields;
}

std::string_view NextReplyField(std::string_view& reply) {
  const size_t nSemicolon = reply.find(';');
  const std::string_view field = reply.substr(0, nSemicolon);
  reply.remove_prefix(nSemicolon == std::string_view::npos ? reply.size() : nSemicolon + 1);
  return field;
}

bool IsStatusZero(std::string_view field) {
  int nStatus = -1;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), nStatus);
  return error == std::errc() && end == field.data() + field.size() && nStatus == 0;
}

}  // namespace

std::string BuildServiceRequest(int nMessage, std::string_view textTemplate,
                                const std::vector<MessageArg>& args) {
  const std::string_view name = MessageName(nMessage);
  if (name.empty()) return {};
  return "error;" + std::string(name) + FormatMessageText(FieldTemplate(textTemplate), args);
}

int ParseServiceReply(bool bExchanged, std::string_view reply) {
  if (!bExchanged || !IsStatusZero(NextReplyField(reply))) return 2;
  int nResult = 2;
  return AnswerWordResult(NextReplyField(reply), nResult) ? nResult : 2;
}

// A run without an attached service pipe fails every exchange as one whose pipe cannot be opened.
uint32_t ExchangeServiceMessage(SetupRun& run, const std::string& request, std::string& reply) {
  reply.clear();
  if (run.service) return run.service->Exchange(run, request, reply);
  DebugOutput(run, "service exchange failed, no pipe to the setup service: " + request);
  return platform::ERROR_FILE_NOT_FOUND;
}

int AskServiceMessage(SetupRun& run, int nMessage, const MessageSpec& messageSpec,
                      const std::vector<MessageArg>& args) {
  const std::string request = BuildServiceRequest(nMessage, messageSpec.textTemplate, args);
  if (request.empty()) return 2;
  std::string reply;
  const bool bExchanged = ExchangeServiceMessage(run, request, reply) == platform::ERROR_SUCCESS;
  return ParseServiceReply(bExchanged, reply);
}

}  // namespace tarvium
