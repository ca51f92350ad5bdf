// The replies of the setup service, read as pure functions of their text: the fields of a reply,
// the dialog answer words and the parsed dialog reply (status, answer word, values), and the
// questions the service asks while the exchange is opened. The transport hands these functions
// the text of a block up to its terminating zero.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvium {

// The fields of a text split at ';'; empty fields are kept, an empty text is one empty field.
std::vector<std::string> SplitReplyFields(std::string_view reply);

// The result of a dialog answer word (any case): "yes" 6, "no" 2, "ok" 1, "cancel" 2, "next" 1,
// "prev" 998, "fromcd" 7105, "local" 7102, "back" 998, "skip" 996; any other word, or none, 2.
int DialogAnswerResult(std::string_view word);

struct DialogReply {
  uint32_t dwStatus = 0;    // 0 for success; a status that is no number reads as ERROR_INVALID_DATA
  bool bHasAnswer = false;  // the reply had an answer word
  int nResult = 2;          // the answer word's result (2 without one)
  std::vector<std::string> values;  // the fields after the answer word
};

// "status;word;value;...": with fewer than two fields there is no answer word and no values.
DialogReply ParseDialogReply(std::string_view reply);

// A question of the service during the opening, split at ';', carriage return and line feed:
// the request word and its argument ("resolve;%WINDIR%\x"). bHasArgument is false when the
// request has no second field.
struct InitRequest {
  std::string word;
  std::string argument;
  bool bHasArgument = false;
};
InitRequest ParseInitRequest(std::string_view reply);

}  // namespace tarvium
