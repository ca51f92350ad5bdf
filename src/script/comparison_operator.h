// The operators of comparisons, in the order of their table: the codes are what a parsed
// comparison holds. Conditions use all eight; requirement lines use the first six.
#pragma once
#include <string_view>

namespace tarvium {

enum ComparisonOperator : int {
  kOpUnknown = -1,
  kOpEqual = 0,          // "=" or "=="
  kOpNotEqual = 1,       // "!=" or "<>"
  kOpGreater = 2,        // ">"
  kOpLess = 3,           // "<"
  kOpGreaterEqual = 4,   // ">="
  kOpLessEqual = 5,      // "<="
  kOpInGlobalGroup = 6,  // "INGLOBALGROUP", any case
  kOpInLocalGroup = 7,   // "INLOCALGROUP", any case
};

// The code of an operator written exactly as `text`, or kOpUnknown.
ComparisonOperator FindComparisonOperator(std::string_view text);

// Whether an ordering (negative, 0, positive) satisfies one of the operators 0 to 5.
bool OrderSatisfies(ComparisonOperator nOperator, int nOrder);

}  // namespace tarvium
