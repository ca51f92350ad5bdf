// Operands are read as blank-separated tokens (quotes group a token); an argument list in
// parentheses may follow an operand, attached or after blanks, and makes it a function call.
// Variables are replaced before a call is evaluated, as for the operands of IF conditions, and
// the values are ordered by the comparison that conditions use.
#include "install/requirements.h"

#include <vector>

#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "engine/show_message.h"
#include "install/install_engine.h"
#include "install/section_text.h"
#include "script/call_function.h"
#include "script/compare_values.h"
#include "script/comparison_operator.h"
#include "script/script_chars.h"

namespace tarvium {
namespace {

class TokenReader {
 public:
  explicit TokenReader(std::string_view text) : text_(text) {}

  // The next token up to a blank (or '(' when bStopAtParen); quotes group and are removed.
  bool Next(std::string& token, bool bStopAtParen) {
    SkipBlanks();
    token.clear();
    if (nPos_ >= text_.size()) return false;
    while (nPos_ < text_.size() && !IsScriptBlank(text_[nPos_])) {
      const char c = text_[nPos_];
      if (bStopAtParen && c == '(') break;
      ++nPos_;
      if (c != '"' && c != '\'') {
        token += c;
        continue;
      }
      const size_t nClose = std::min(text_.find(c, nPos_), text_.size());
      token.append(text_.substr(nPos_, nClose - nPos_));
      nPos_ = std::min(nClose + 1, text_.size());
    }
    return true;
  }

  // An argument list in parentheses, balanced, parentheses included; empty when none follows.
  std::string ArgumentList() {
    SkipBlanks();
    if (nPos_ >= text_.size() || text_[nPos_] != '(') return {};
    const size_t nStart = nPos_;
    int nDepth = 0;
    do {
      nDepth += text_[nPos_] == '(' ? 1 : text_[nPos_] == ')' ? -1 : 0;
      ++nPos_;
    } while (nPos_ < text_.size() && nDepth > 0);
    return std::string(text_.substr(nStart, nPos_ - nStart));
  }

 private:
  void SkipBlanks() {
    while (nPos_ < text_.size() && IsScriptBlank(text_[nPos_])) ++nPos_;
  }

  std::string_view text_;
  size_t nPos_ = 0;
};

struct Operand {
  std::string text;
  std::string args;  // with its parentheses; empty for a plain text
};

bool ReadOperand(TokenReader& reader, Operand& operand) {
  if (!reader.Next(operand.text, true)) return false;
  operand.args = reader.ArgumentList();
  return !operand.text.empty() || !operand.args.empty();
}

std::string OperandValue(SetupRun& run, Operand operand) {
  ReplaceVariables(run, operand.text);
  ReplaceVariables(run, operand.args);
  std::string result;
  if (!operand.args.empty() && CallFunction(run, operand.text, operand.args, result)) return result;
  return operand.text + operand.args;
}

struct Comparison {
  Operand left;
  ComparisonOperator nOperator = kOpUnknown;
  Operand right;
};

RequirementForm ReadComparison(std::string_view alternative, Comparison& comparison) {
  TokenReader reader(alternative);
  std::string op;
  if (!ReadOperand(reader, comparison.left) || !reader.Next(op, false) ||
      !ReadOperand(reader, comparison.right))
    return RequirementForm::Malformed;
  comparison.nOperator = FindComparisonOperator(op);
  if (comparison.nOperator == kOpUnknown || comparison.nOperator > kOpLessEqual)
    return RequirementForm::UnknownOperator;
  return RequirementForm::Comparison;
}

}  // namespace

std::vector<std::string> RequirementAlternatives(const std::string& line) {
  std::vector<std::string> alternatives;
  size_t nStart = 0;
  for (size_t nBar; (nBar = line.find('|', nStart)) != std::string::npos; nStart = nBar + 1)
    alternatives.push_back(line.substr(nStart, nBar - nStart));
  alternatives.push_back(line.substr(nStart));
  return alternatives;
}

RequirementForm ReadRequirementForm(std::string_view alternative) {
  Comparison comparison;
  return ReadComparison(alternative, comparison);
}

bool RequirementHolds(SetupRun& run, const std::string& alternative, const std::string& line) {
  Comparison comparison;
  const RequirementForm form = ReadComparison(alternative, comparison);
  if (form == RequirementForm::Malformed) ShowMessage(run, 5528, line);
  if (form != RequirementForm::Comparison) return false;
  const std::string a = OperandValue(run, std::move(comparison.left));
  const std::string b = OperandValue(run, std::move(comparison.right));
  return OrderSatisfies(comparison.nOperator, CompareValues(a, b, run.ctx.nFormatVersion));
}

bool CheckRequirements(SetupRun& run, std::string& szFailedLine) {
  for (const std::string& line : NonEmptyLines(InstallFile(run), "Requirements")) {
    bool bHolds = false;
    for (const std::string& alternative : RequirementAlternatives(line))
      if ((bHolds = RequirementHolds(run, alternative, line))) break;
    if (!bHolds) {
      szFailedLine = line;
      return false;
    }
  }
  return true;
}

}  // namespace tarvium
