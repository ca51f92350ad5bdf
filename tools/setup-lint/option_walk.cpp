// Sections that a handler of their own reads (INI, registry, ...) are looked up but their lines
// are not read as generic lines. Each section's level is that of the shortest chain of
// references to it, the engine's stack of nested sections counting from the option's. A name
// holding a variable reference is not looked up: its value is known only at run time.
#include "option_walk.h"

#include <deque>
#include <set>
#include <unordered_set>
#include <utility>

#include "engine/ansi_text.h"
#include "engine/inf_fields.h"
#include "install/build_options.h"
#include "install/copy_flags.h"
#include "install/copy_line_fields.h"
#include "install/generic_section.h"
#include "install/option_record.h"
#include "install/section_dispatch.h"
#include "install/section_text.h"
#include "platform/ansi_case.h"
#include "script/condition_tree.h"
#include "script/if_line.h"

namespace tarvium::lint {
namespace {

bool HasVariable(const std::string& text) {
  return text.find('%') != std::string::npos;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

struct OptionLine {
  std::string name;
  uint32_t dwFlags = 0;
  int nLine = 0;
};

class Walk {
 public:
  Walk(const InfFile& inf, const LineNumbers& numbers, LintReport& report)
      : inf_(inf), numbers_(numbers), report_(report) {}

  WalkResult Run() {
    std::vector<OptionLine> options;
    for (const char* section : {"Copy", "Options"})
      ForEachSectionLine(
          inf_, numbers_, FindSection(inf_, section),
          [&](const std::string& line, int nLine) { ReadOptionLine(line, nLine, options); });
    const std::unordered_set<std::string> parents = ParentNames(options);
    for (const OptionLine& option : options) VisitOption(option, parents);
    while (!pending_.empty()) {
      const std::string section = std::move(pending_.front().first);
      nDepth_ = pending_.front().second;
      pending_.pop_front();
      result_.sections.push_back(section);
      if (IsSpecialSection(section)) continue;  // its handler reads lines of its own kind
      ForEachSectionLine(inf_, numbers_, FindSection(inf_, section),
                         [&](const std::string& line, int nLine) { CheckLine(line, nLine); });
    }
    return std::move(result_);
  }

 private:
  // "Name=Description, Flags, ..." as the option table reads it.
  void ReadOptionLine(const std::string& line, int nLine, std::vector<OptionLine>& options) {
    if (TrimAnsi(line).empty()) return;
    OptionLine option;
    option.nLine = nLine;
    std::string fields;
    if (!SplitAtEquals(line, option.name, fields)) option.name = TrimmedField(line), fields = line;
    std::string description, field;
    NextField(NextField(fields.c_str(), description), field);
    if (description.size() > kOptionTextMax)
      report_.Add(nLine, Severity::Warning, "value-too-long",
                  "the description of option '" + option.name + "' has " +
                      std::to_string(description.size()) +
                      " characters; the engine keeps the first " + std::to_string(kOptionTextMax));
    const std::string flagText = TrimmedField(field);
    option.dwFlags = flagText.empty() ? 0 : ParseFlags(flagText, kOptionFlagNames);
    if (option.dwFlags == kUnknownFlags) {
      if (!HasVariable(flagText))
        report_.Add(nLine, Severity::Error, "unknown-flag",
                    "option '" + option.name + "' has an unknown flag in '" + flagText + "'");
      option.dwFlags = 0;
    }
    options.push_back(std::move(option));
  }

  // Every upper-cased name that has a sub-option ("A" and "A\\B" of "A\\B\\C"), found once.
  static std::unordered_set<std::string> ParentNames(const std::vector<OptionLine>& options) {
    std::unordered_set<std::string> parents;
    for (const OptionLine& option : options) {
      const std::string upper = platform::AnsiUpper(option.name);
      for (size_t nSlash = upper.find('\\'); nSlash != std::string::npos;
           nSlash = upper.find('\\', nSlash + 1))
        parents.insert(upper.substr(0, nSlash));
    }
    return parents;
  }

  // The option's section is carried out, or with WILDCARD the shared [%Option%]; only a leaf
  // must have one: an option with sub-options may go without.
  void VisitOption(const OptionLine& option, const std::unordered_set<std::string>& parents) {
    if (HasVariable(option.name)) return;
    if (FindSection(inf_, option.name)) return Enqueue(option.name, 1);
    if ((option.dwFlags & OPTION_WILDCARD) && FindSection(inf_, "%Option%"))
      return Enqueue("%Option%", 1);
    if (parents.contains(platform::AnsiUpper(option.name))) return;
    report_.Add(option.nLine, Severity::Error, "missing-section",
                "option '" + option.name + "' has no section [" + option.name + "]");
  }

  void Enqueue(const std::string& section, size_t nDepth) {
    if (visited_.insert(platform::AnsiUpper(section)).second)
      pending_.emplace_back(section, nDepth);
  }

  void CheckLine(const std::string& line, int nLine) {
    const std::string_view text = TrimAnsiLeft(line);
    if (text.empty()) return;
    if (text[0] == '#') return CheckReference(std::string(text.substr(1)), nLine);
    if (IsDigit(text[0])) return CheckCopyLine(line, nLine);
    if (text.size() > 2 && platform::AnsiStartsWithNoCase(text, "IF") && IsAnsiSpace(text[2]))
      CheckIfLine(text, nLine);
  }

  // "#[!]Name[, Flags]".
  void CheckReference(std::string body, int nLine) {
    if (!body.empty() && body[0] == '!') body.erase(0, 1);
    std::string nameField, flagField;
    NextField(NextField(body.c_str(), nameField), flagField);
    const std::string flagText = TrimmedField(flagField);
    if (!flagText.empty() && !HasVariable(flagText) &&
        ParseFlags(flagText, kCopyFlagNames) == kUnknownFlags)
      report_.Add(nLine, Severity::Error, "unknown-flag",
                  "reference has an unknown flag in '" + flagText + "'");
    const std::string name = TrimmedField(nameField);
    if (HasVariable(name)) return;
    if (!FindSection(inf_, name))
      return report_.Add(nLine, Severity::Error, "missing-section",
                         "reference to section [" + name + "], which the file lacks");
    if (nDepth_ < kMaxSectionDepth) return Enqueue(name, nDepth_ + 1);
    report_.Add(nLine, Severity::Error, "nested-too-deep",
                "reference to section [" + name + "] more than " +
                    std::to_string(kMaxSectionDepth) +
                    " levels below the option's section: the section fails (message 5565 at "
                    "run time)");
  }

  void CheckCopyLine(const std::string& line, int nLine) {
    const CopyLineFields fields = ParseCopyLine(line);
    uint32_t dwCopyFlags = 0, dwAttributes = 0;
    if (!HasVariable(fields.flags) && !ParseCopyLineFlags(fields.flags, dwCopyFlags, dwAttributes))
      report_.Add(nLine, Severity::Error, "unknown-flag",
                  "copy line has an unknown flag in '" + fields.flags + "'");
    if (!fields.bHasSize && !(dwCopyFlags & (COPY_DIRECTORY | COPY_DELETE | COPY_CREATE)))
      report_.Add(nLine, Severity::Warning, "no-size",
                  "copy line of '" + fields.source +
                      "' gives no size: the space the product needs is computed without it "
                      "(setup-lint --fill-sizes Setup.inf MEDIA_DIR writes it)");
    for (const std::string* path : {&fields.source, &fields.destination}) CheckGlued(*path, nLine);
    result_.copyLines.push_back({line, nLine});
  }

  void CheckGlued(const std::string& path, int nLine) {
    if (!HasVariable(path)) return;
    const std::string upper = platform::AnsiUpper(path);
    for (const std::string_view variable : {"%SRCDIR%", "%APP%"}) {
      const size_t nAt = upper.find(variable);
      if (nAt == std::string::npos) continue;
      const size_t nAfter = nAt + variable.size();
      if (nAfter < path.size() && path[nAfter] != '\\')
        report_.Add(
            nLine, Severity::Warning, "dir-variable-glued",
            "'" + path + "': a directory variable runs into the name after it (missing '\\')");
    }
  }

  void CheckIfLine(std::string_view text, int nLine) {
    const std::optional<std::string_view> condition = IfLineCondition(text);
    if (!condition) {
      report_.Add(nLine, Severity::Error, "bad-condition",
                  std::string("IF line the engine cannot read: ") + IfLineFault(text) +
                      " (message 5528 at run time; IF condition THEN command [ELSE command], a "
                      "command with blanks quoted: IF 1 == 1 THEN 'Echo hello')");
      return;
    }
    for (const std::string& fault : ParseCondition(*condition).faults)
      report_.Add(nLine, Severity::Error, "bad-condition", "condition fault at '" + fault + "'");
    // The command chosen is run as a line of the section: a reference or a copy line among them.
    for (const std::string& command : IfLineCommands(text)) CheckLine(command, nLine);
  }

  const InfFile& inf_;
  const LineNumbers& numbers_;
  LintReport& report_;
  std::set<std::string> visited_;
  std::deque<std::pair<std::string, size_t>> pending_;  // a section and its level (option: 1)
  size_t nDepth_ = 0;                                   // the level of the section being read
  WalkResult result_;
};

}  // namespace

WalkResult WalkOptionSections(const InfFile& inf, const LineNumbers& numbers, LintReport& report) {
  return Walk(inf, numbers, report).Run();
}

}  // namespace tarvium::lint
