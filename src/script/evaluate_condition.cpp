// Evaluation walks the parsed chain; operands get their variables replaced and their function
// calls evaluated only when their comparison is reached.
#include "script/evaluate_condition.h"

#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "engine/show_message.h"
#include "script/call_function.h"
#include "script/compare_values.h"
#include "script/group_membership.h"

namespace tarvium {
namespace {

// An operand's value: the result of the function it calls, else its own text.
std::string EvaluateOperand(SetupRun& run, std::string text) {
  std::string result;
  return EvaluateFunctionText(run, text, result) ? result : text;
}

bool EvaluateComparison(SetupRun& run, const ConditionComparison& comparison) {
  if (comparison.nOperator == kOpUnknown) return true;  // the fault was reported when parsed
  std::string left = comparison.left;
  std::string right = comparison.right;
  ReplaceVariables(run, left);
  ReplaceVariables(run, right);
  if (comparison.nOperator == kOpInGlobalGroup || comparison.nOperator == kOpInLocalGroup)
    return IsGroupMember(run, left, right, comparison.nOperator == kOpInGlobalGroup);
  const std::string a = EvaluateOperand(run, std::move(left));
  const std::string b = EvaluateOperand(run, std::move(right));
  return OrderSatisfies(comparison.nOperator, CompareValues(a, b, run.ctx.nFormatVersion));
}

bool EvaluateNode(SetupRun& run, const ConditionNode& node) {
  const bool bValue = node.bGroup ? EvaluateConditionChain(run, node.group)
                                  : EvaluateComparison(run, node.comparison);
  return bValue != node.bNegated;
}

}  // namespace

bool EvaluateConditionChain(SetupRun& run, const ConditionChain& chain) {
  // Right binding makes each link decide the rest: with "&" a false node is the answer, with
  // "|" a true one; otherwise the answer is the rest of the chain.
  for (size_t i = 0; i < chain.size(); ++i) {
    const bool bValue = EvaluateNode(run, chain[i]);
    switch (chain[i].link) {
      case ConditionLink::None:
        return bValue;
      case ConditionLink::And:
        if (!bValue) return false;
        break;
      case ConditionLink::Or:
        if (bValue) return true;
        break;
    }
  }
  return true;
}

bool EvaluateCondition(SetupRun& run, std::string_view text) {
  const ParsedCondition parsed = ParseCondition(text);
  for (const std::string& fault : parsed.faults) ShowMessage(run, 5528, fault);
  return EvaluateConditionChain(run, parsed.chain);
}

}  // namespace tarvium
