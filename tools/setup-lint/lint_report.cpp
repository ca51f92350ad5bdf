// The findings in line order, as compiler lines or a JSON array; the text of a finding is
// converted from the file's ANSI text to UTF-8 by its writer.
#include "lint_report.h"

#include <algorithm>

#include "engine/json_text.h"

namespace tarvium::lint {
namespace {

const char* SeverityName(Severity severity) {
  return severity == Severity::Error ? "error" : "warning";
}

}  // namespace

void LintReport::Add(int nLine, Severity severity, std::string rule, std::string text) {
  findings_.push_back({nLine, severity, std::move(rule), std::move(text)});
}

std::vector<Finding> LintReport::Sorted() const {
  std::vector<Finding> sorted = findings_;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const Finding& a, const Finding& b) { return a.nLine < b.nLine; });
  return sorted;
}

int LintReport::ExitStatus() const {
  if (findings_.empty()) return 0;
  const bool bError = std::any_of(findings_.begin(), findings_.end(),
                                  [](const Finding& f) { return f.severity == Severity::Error; });
  return bError ? 2 : 1;
}

std::string FormatText(const std::vector<Finding>& findings, const std::string& fileName) {
  std::string out;
  for (const Finding& f : findings)
    out += fileName + ":" + std::to_string(f.nLine) + ": " + SeverityName(f.severity) + ": " +
           f.text + " [" + f.rule + "]\n";
  return out;
}

std::string FormatJson(const std::vector<Finding>& findings, const std::string& fileName) {
  std::string out = "[";
  for (size_t i = 0; i < findings.size(); ++i) {
    const Finding& f = findings[i];
    out += std::string(i ? ",\n " : "") + "{\"file\": " + JsonString(fileName) +
           ", \"line\": " + std::to_string(f.nLine) + ", \"severity\": \"" +
           SeverityName(f.severity) + "\", \"rule\": " + JsonString(f.rule) +
           ", \"text\": " + JsonString(f.text) + "}";
  }
  return out + "]\n";
}

}  // namespace tarvium::lint
