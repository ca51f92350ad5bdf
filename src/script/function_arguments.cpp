// Arguments are split once, up to the number the function reads.
#include "script/function_arguments.h"

#include "script/decimal_text.h"
#include "script/next_argument.h"

namespace tarvium {

FunctionArguments::FunctionArguments(std::string_view args, size_t nMax) {
  std::string value;
  for (size_t nPos = 0; values_.size() < nMax;) {
    nPos = NextArgument(args, nPos, value);
    if (nPos == std::string_view::npos) break;
    values_.push_back(value);
  }
}

const std::string& FunctionArguments::Text(size_t nIndex) const {
  static const std::string kEmpty;
  return nIndex < values_.size() ? values_[nIndex] : kEmpty;
}

int32_t FunctionArguments::Number(size_t nIndex) const {
  return ReadDecimal(Text(nIndex));
}

}  // namespace tarvium
