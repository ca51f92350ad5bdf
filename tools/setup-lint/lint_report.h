// The findings of setup-lint and how they are written: one line each in the form compilers use
// ("FILE:LINE: error: text [rule]"), or a JSON array for programs; and the exit status they give.
#pragma once
#include <string>
#include <vector>

namespace tarvium::lint {

enum class Severity { Warning, Error };

struct Finding {
  int nLine = 0;  // the line of the file, counted from 1
  Severity severity = Severity::Error;
  std::string rule;
  std::string text;
};

class LintReport {
 public:
  void Add(int nLine, Severity severity, std::string rule, std::string text);
  // The findings in line order (a finding keeps its place among those of its line).
  std::vector<Finding> Sorted() const;
  // 0 without findings, 1 with warnings only, 2 with an error.
  int ExitStatus() const;

 private:
  std::vector<Finding> findings_;
};

std::string FormatText(const std::vector<Finding>& findings, const std::string& fileName);
std::string FormatJson(const std::vector<Finding>& findings, const std::string& fileName);

}  // namespace tarvium::lint
