// A message in a run driven by the setup service (/G): instead of a box, the service gets the
// request "error;" with the message's ERR_ name and one ";"-field per placeholder of its template,
// and its reply "status;word" gives the result. Building the request and reading the reply are
// pure functions; the exchange itself is one function over the service pipe.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/show_message.h"

namespace tarvium {

struct SetupRun;
struct MessageSpec;

// "error;ERR_FILEOLDER;a;b;c": the name, then for each "%s", "%S", "%ld", "%u" or "%d" of the
// template, in order, a field with the next argument. Empty when the message has no name.
std::string BuildServiceRequest(int nMessage, std::string_view textTemplate,
                                const std::vector<MessageArg>& args);
// The result of a reply split at ';': the answer word of the second field when the exchange
// worked and the first field is the number 0; 2 otherwise, and for a missing or unknown word.
int ParseServiceReply(bool bExchanged, std::string_view reply);
// One request and its reply over the service pipe; ERROR_SUCCESS or the Windows error of the
// transport.
uint32_t ExchangeServiceMessage(SetupRun& run, const std::string& request, std::string& reply);
// The service's answer to a message: 2 without a request for a message that has no name.
int AskServiceMessage(SetupRun& run, int nMessage, const MessageSpec& messageSpec,
                      const std::vector<MessageArg>& args);

}  // namespace tarvium
