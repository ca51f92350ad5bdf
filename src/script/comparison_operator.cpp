// The operator table, looked up by exact text (the group operators in any case).
#include "script/comparison_operator.h"

#include "platform/ansi_case.h"

namespace tarvium {
namespace {

struct OperatorName {
  std::string_view text;
  ComparisonOperator nOperator;
};

constexpr OperatorName kOperators[] = {
    {"=", kOpEqual},
    {"==", kOpEqual},
    {"!=", kOpNotEqual},
    {"<>", kOpNotEqual},
    {">", kOpGreater},
    {"<", kOpLess},
    {">=", kOpGreaterEqual},
    {"<=", kOpLessEqual},
    {"INGLOBALGROUP", kOpInGlobalGroup},
    {"INLOCALGROUP", kOpInLocalGroup},
};

}  // namespace

ComparisonOperator FindComparisonOperator(std::string_view text) {
  for (const OperatorName& op : kOperators)
    if (platform::AnsiEqualNoCase(text, op.text)) return op.nOperator;
  return kOpUnknown;
}

bool OrderSatisfies(ComparisonOperator nOperator, int nOrder) {
  switch (nOperator) {
    case kOpEqual:
      return nOrder == 0;
    case kOpNotEqual:
      return nOrder != 0;
    case kOpGreater:
      return nOrder > 0;
    case kOpLess:
      return nOrder < 0;
    case kOpGreaterEqual:
      return nOrder >= 0;
    case kOpLessEqual:
      return nOrder <= 0;
    default:
      return false;
  }
}

}  // namespace tarvium
