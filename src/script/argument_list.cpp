#include "script/argument_list.h"

#include "engine/replace_variables.h"
#include "script/next_argument.h"

namespace tarvium {

std::vector<std::string> ArgumentList(std::string_view args, size_t nMax) {
  std::vector<std::string> list;
  std::string arg;
  for (size_t nPos = NextArgument(args, 0, arg);
       nPos != std::string_view::npos && list.size() < nMax; nPos = NextArgument(args, nPos, arg))
    list.push_back(arg);
  return list;
}

std::string ArgumentAt(const std::vector<std::string>& args, size_t index) {
  return index < args.size() ? args[index] : std::string();
}

int64_t LeadingNumber(std::string_view text) {
  const bool bNegative = !text.empty() && text[0] == '-';
  int64_t nValue = 0;
  for (size_t i = bNegative ? 1 : 0; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    if (nValue < 1'000'000'000'000) nValue = nValue * 10 + (text[i] - '0');
  return bNegative ? -nValue : nValue;
}

void CutResult(std::string& result) {
  if (result.size() >= kVariableLineSize) result.resize(kVariableLineSize - 1);
}

}  // namespace tarvium
