// The arguments of one expression function, split once with NextArgument. Functions ask for an
// argument by position; a missing one reads as the empty text, or as the number 0.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvium {

class FunctionArguments {
 public:
  // Splits at most nMax arguments; the rest of the text is not read.
  FunctionArguments(std::string_view args, size_t nMax);

  const std::string& Text(size_t nIndex) const;
  int32_t Number(size_t nIndex) const;  // decimal, leading digits; none gives 0
  size_t Count() const { return values_.size(); }

 private:
  std::vector<std::string> values_;
};

}  // namespace tarvium
