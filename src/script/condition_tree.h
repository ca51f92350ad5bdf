// The parsed form of an IF condition: a chain of nodes, each a comparison or a parenthesised
// group, optionally negated, joined to the next node of its chain by "&" or "|". Parsing is a
// pure function of the text, so that it can be tested and fuzzed without a run; the faults it
// meets are returned as the texts the run reports, and the tree already holds what each fault
// counts as (a dropped node, a comparison that is true).
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "script/comparison_operator.h"

namespace tarvium {

struct ConditionComparison {
  std::string left;  // operand texts as written, quotes removed, references not yet replaced
  ComparisonOperator nOperator = kOpUnknown;  // kOpUnknown: a fault, the comparison is true
  std::string right;
};

enum class ConditionLink { None, And, Or };

struct ConditionNode {
  bool bNegated = false;
  bool bGroup = false;
  ConditionComparison comparison;    // when not a group
  std::vector<ConditionNode> group;  // when a group: its inner chain
  // Joins this node to the rest of its chain. "&" and "|" have the same rank and bind to the
  // right, so "A | B & C" is A or (B and C) and "A & B | C" is A and (B or C).
  ConditionLink link = ConditionLink::None;
};

using ConditionChain = std::vector<ConditionNode>;

struct ParsedCondition {
  ConditionChain chain;             // empty: the condition is true
  std::vector<std::string> faults;  // the offending texts, in the order they were met
};

// Groups nested deeper than this are faults; it keeps hostile input from exhausting the stack.
inline constexpr int kMaxConditionDepth = 100;

ParsedCondition ParseCondition(std::string_view text);

}  // namespace tarvium
