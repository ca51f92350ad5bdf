// What the machine functions share when they read their arguments and write their results: the
// arguments split by NextArgument into a list, and the "1"/"0" texts of truth values. Kept apart
// from the functions so that every group reads its arguments the same way.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvium {

// The arguments of an argument text (the text inside the parentheses), at most nMax of them;
// an empty text has none.
std::vector<std::string> ArgumentList(std::string_view args, size_t nMax = 16);
// The argument at index, or "" when there are fewer.
std::string ArgumentAt(const std::vector<std::string>& args, size_t index);
// Leading decimal digits of a text, after an optional '-'; none gives 0.
int64_t LeadingNumber(std::string_view text);

inline const char* TruthText(bool bValue) {
  return bValue ? "1" : "0";
}

// Function results are cut where the result buffer ends (64768 bytes with its terminator).
void CutResult(std::string& result);

}  // namespace tarvium
