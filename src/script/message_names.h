// The words of the message exchange with the setup service: the ERR_ names of the messages 5500
// to 5572 (the service knows a message by its name, not by its number) and the answer words the
// service replies with.
#pragma once
#include <string_view>

namespace tarvium {

// "ERR_FILEOPEN" for 5501; empty for a number without a name (5522, 5542, 5568, 5573, 5574 and
// any number outside 5500 to 5572).
std::string_view MessageName(int nMessage);
// The result of a message answer word, compared without regard to case ("all" and "none" 1,
// "ok" and "cancel" 2, "ignore" 5, "yes" 6, "no" 7); false for any other word.
bool AnswerWordResult(std::string_view word, int& nResult);

}  // namespace tarvium
