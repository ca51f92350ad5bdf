// A recursive-descent parser: a chain is read node by node from left to right; a group's text is
// cut out at its matching ')' and parsed as a chain of its own. Whatever a fault leaves unread is
// not parsed further, which is how a faulty node drops itself and the rest of its chain.
#include "script/condition_tree.h"

#include "script/script_chars.h"

namespace tarvium {
namespace {

bool IsOperatorChar(char c) {
  return c == '=' || c == '!' || c == '<' || c == '>';
}

bool EndsWord(char c) {
  return IsScriptBlank(c) || c == '(' || c == '!' || c == '=' || c == '<' || c == '>';
}

size_t SkipBlanks(std::string_view text, size_t nPos) {
  while (nPos < text.size() && IsScriptBlank(text[nPos])) ++nPos;
  return nPos;
}

// The position of the ')' that closes the '(' at nOpen, or npos when it is not closed.
size_t FindClosing(std::string_view text, size_t nOpen) {
  size_t nLevel = 0;
  for (size_t i = nOpen; i < text.size(); ++i) {
    if (text[i] == '(') ++nLevel;
    if (text[i] == ')' && --nLevel == 0) return i;
  }
  return std::string_view::npos;
}

// The position after the balanced list that starts at nOpen; an unclosed list runs to the end.
size_t SkipBalanced(std::string_view text, size_t nOpen) {
  const size_t nClose = FindClosing(text, nOpen);
  return nClose == std::string_view::npos ? text.size() : nClose + 1;
}

class ConditionParser {
 public:
  explicit ConditionParser(std::vector<std::string>& faults) : faults_(faults) {}

  ConditionChain ParseChain(std::string_view text, int nDepth) {
    ConditionChain chain;
    size_t nPos = 0;
    for (;;) {
      ConditionNode node;
      if (!ParseNode(text, nPos, node, nDepth)) break;
      nPos = SkipBlanks(text, nPos);
      chain.push_back(std::move(node));
      if (nPos >= text.size() || (text[nPos] != '&' && text[nPos] != '|')) break;
      chain.back().link = text[nPos++] == '&' ? ConditionLink::And : ConditionLink::Or;
    }
    if (!chain.empty()) chain.back().link = ConditionLink::None;  // a dropped continuation
    return chain;
  }

 private:
  bool ParseNode(std::string_view text, size_t& nPos, ConditionNode& node, int nDepth) {
    nPos = SkipBlanks(text, nPos);
    if (nPos < text.size() && text[nPos] == '!') {
      node.bNegated = true;
      nPos = SkipBlanks(text, nPos + 1);
    }
    if (nPos >= text.size()) return false;  // nothing written: no node, no fault
    if (text[nPos] == '(' && nDepth < kMaxConditionDepth) {
      const size_t nClose = FindClosing(text, nPos);
      const size_t nInnerEnd = nClose == std::string_view::npos ? text.size() : nClose;
      node.bGroup = true;
      node.group = ParseChain(text.substr(nPos + 1, nInnerEnd - nPos - 1), nDepth + 1);
      nPos = nClose == std::string_view::npos ? text.size() : nClose + 1;
      return true;
    }
    if (text[nPos] != '"' && text[nPos] != '%' && !IsAnsiAlnum(text[nPos])) {
      faults_.emplace_back(text.substr(nPos));
      return false;
    }
    ParseComparison(text, nPos, node.comparison);
    return true;
  }

  void ParseComparison(std::string_view text, size_t& nPos, ConditionComparison& comparison) {
    const size_t nStart = nPos;
    comparison.left = ReadOperand(text, nPos);
    nPos = SkipBlanks(text, nPos);
    const size_t nOperator = nPos;
    if (nPos < text.size() && IsOperatorChar(text[nPos])) {
      while (nPos < text.size() && IsOperatorChar(text[nPos])) ++nPos;
    } else {
      while (nPos < text.size() && IsAsciiLetter(text[nPos])) ++nPos;
    }
    comparison.nOperator = FindComparisonOperator(text.substr(nOperator, nPos - nOperator));
    if (comparison.nOperator == kOpUnknown) faults_.emplace_back(text.substr(nStart));
    nPos = SkipBlanks(text, nPos);
    comparison.right = ReadOperand(text, nPos);
  }

  static std::string ReadOperand(std::string_view text, size_t& nPos) {
    if (nPos >= text.size()) return {};
    if (text[nPos] == '"') {
      const size_t nClose = text.find('"', nPos + 1);
      const size_t nEnd = nClose == std::string_view::npos ? text.size() : nClose;
      std::string operand(text.substr(nPos + 1, nEnd - nPos - 1));
      nPos = nClose == std::string_view::npos ? text.size() : nClose + 1;
      return operand;
    }
    if (text[nPos] == '%') {
      const size_t nClose = text.find('%', nPos + 1);
      const size_t nEnd = nClose == std::string_view::npos ? text.size() : nClose + 1;
      std::string operand(text.substr(nPos, nEnd - nPos));
      nPos = nEnd;
      return operand;
    }
    return ReadWord(text, nPos);
  }

  // A word, and the balanced argument list that follows it (after blanks) as a function call.
  static std::string ReadWord(std::string_view text, size_t& nPos) {
    const size_t nStart = nPos;
    while (nPos < text.size() && !EndsWord(text[nPos])) ++nPos;
    size_t nEnd = nPos;
    const size_t nNext = SkipBlanks(text, nPos);
    if (nNext < text.size() && text[nNext] == '(') nEnd = nPos = SkipBalanced(text, nNext);
    while (nEnd > nStart && IsScriptBlank(text[nEnd - 1])) --nEnd;
    return std::string(text.substr(nStart, nEnd - nStart));
  }

  std::vector<std::string>& faults_;
};

}  // namespace

ParsedCondition ParseCondition(std::string_view text) {
  ParsedCondition parsed;
  parsed.chain = ConditionParser(parsed.faults).ParseChain(text, 0);
  return parsed;
}

}  // namespace tarvium
