// Names are compared upper-cased through hash maps; the cycle search is one depth-first walk over
// the dependency graph with an explicit stack, so every check is linear in the option lines.
#include "option_graph.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/ansi_text.h"
#include "engine/inf_fields.h"
#include "install/option_relations.h"
#include "install/section_text.h"
#include "platform/ansi_case.h"

namespace tarvium::lint {
namespace {

struct OptionLine {
  std::string name;
  int nLine = 0;
};

// "Name=Description, ..." or a line without '=', whose whole text is the name.
std::vector<OptionLine> ReadOptionNames(const InfFile& inf, const LineNumbers& numbers) {
  std::vector<OptionLine> options;
  for (const char* section : {"Copy", "Options"})
    ForEachSectionLine(inf, numbers, FindSection(inf, section),
                       [&](const std::string& line, int nLine) {
                         if (TrimAnsi(line).empty()) return;
                         std::string name, fields;
                         if (!SplitAtEquals(line, name, fields)) name = TrimmedField(line);
                         options.push_back({name, nLine});
                       });
  return options;
}

bool HasVariable(const std::string& text) {
  return text.find('%') != std::string::npos;
}

using NameLines = std::unordered_map<std::string, int>;  // upper-cased name -> its first line

// The engine makes a record of every line: a name given twice is listed twice, and a look-up by
// name (dependencies, groups, the installed state) finds the first.
NameLines CheckDuplicateOptions(const std::vector<OptionLine>& options, LintReport& report) {
  NameLines first;
  for (const OptionLine& option : options) {
    const auto [found, bFirst] = first.try_emplace(platform::AnsiUpper(option.name), option.nLine);
    if (!bFirst)
      report.Add(option.nLine, Severity::Warning, "duplicate-key",
                 "option '" + option.name + "' is given again (first at line " +
                     std::to_string(found->second) +
                     "): the engine lists it twice and finds the first by name");
  }
  return first;
}

// Dependencies and groups name options; the engine skips a name it does not find (5529).
void CheckKnownOption(const NameLines& known, const std::string& name, const char* section,
                      int nLine, LintReport& report) {
  if (HasVariable(name) || known.contains(platform::AnsiUpper(name))) return;
  report.Add(nLine, Severity::Error, "unknown-option",
             "[" + std::string(section) + "] names option '" + name +
                 "', which the file does not declare (message 5529 at run time)");
}

// The engine links each option to a parent declared before it.
void CheckOrder(const std::vector<OptionLine>& options, const NameLines& lines,
                LintReport& report) {
  std::unordered_map<std::string, int> declared;
  for (const OptionLine& option : options) {
    const size_t nSlash = option.name.rfind('\\');
    if (nSlash != std::string::npos && nSlash > 0 && !HasVariable(option.name)) {
      const std::string parent = option.name.substr(0, nSlash);
      const auto later = lines.find(platform::AnsiUpper(parent));
      if (!declared.contains(platform::AnsiUpper(parent)))
        report.Add(option.nLine, Severity::Error, "option-order",
                   later == lines.end() ? "option '" + option.name + "' has no parent option '" +
                                              parent + "' (message 5533 at run time)"
                                        : "option '" + option.name + "' comes before its parent '" +
                                              parent + "' (line " + std::to_string(later->second) +
                                              "): the engine finds no parent and stops the run");
    }
    declared.try_emplace(platform::AnsiUpper(option.name), option.nLine);
  }
}

struct Dependency {
  std::string name;                 // as written
  std::vector<std::string> others;  // upper-cased
  int nLine = 0;
};

// A later line for the same option replaces the list of an earlier one, as in the engine.
std::unordered_map<std::string, Dependency> ReadDependencies(const InfFile& inf,
                                                             const LineNumbers& numbers,
                                                             const NameLines& known,
                                                             LintReport& report) {
  constexpr const char* kSection = "OptionDependencies";
  std::unordered_map<std::string, Dependency> graph;
  ForEachSectionLine(
      inf, numbers, FindSection(inf, kSection), [&](const std::string& line, int nLine) {
        std::string name, list;
        if (!SplitAtEquals(line, name, list)) {
          if (!TrimAnsi(line).empty())
            report.Add(nLine, Severity::Error, "unknown-option",
                       "[OptionDependencies] line without '=' (message 5529 at run time)");
          return;
        }
        Dependency dependency{TrimmedField(name), {}, nLine};
        CheckKnownOption(known, dependency.name, kSection, nLine, report);
        ForEachListedName(list, [&](const std::string& other) {
          CheckKnownOption(known, other, kSection, nLine, report);
          dependency.others.push_back(platform::AnsiUpper(other));
        });
        graph[platform::AnsiUpper(dependency.name)] = std::move(dependency);
      });
  return graph;
}

// White: not met; grey: on the current path; black: done.
enum class Mark { White, Grey, Black };

class CycleSearch {
 public:
  CycleSearch(const std::unordered_map<std::string, Dependency>& graph, LintReport& report)
      : graph_(graph), report_(report) {}

  // From the options in line order, so that a circle is reported the same way every time.
  void Run() {
    std::vector<const Dependency*> lines;
    for (const auto& [name, dependency] : graph_) lines.push_back(&dependency);
    std::sort(lines.begin(), lines.end(),
              [](const Dependency* a, const Dependency* b) { return a->nLine < b->nLine; });
    for (const Dependency* dependency : lines) {
      const std::string name = platform::AnsiUpper(dependency->name);
      if (marks_[name] == Mark::White) Visit(name);
    }
  }

 private:
  struct Frame {
    std::string name;
    size_t nNext = 0;
  };

  void Visit(const std::string& start) {
    std::vector<Frame> path{{start}};
    marks_[start] = Mark::Grey;
    while (!path.empty()) {
      Frame& frame = path.back();
      const auto node = graph_.find(frame.name);
      if (node == graph_.end() || frame.nNext >= node->second.others.size()) {
        marks_[frame.name] = Mark::Black;
        path.pop_back();
        continue;
      }
      const std::string& next = node->second.others[frame.nNext++];
      Mark& mark = marks_[next];
      if (mark == Mark::Grey) Report(path, next, node->second);
      if (mark != Mark::White) continue;
      mark = Mark::Grey;
      path.push_back({next});
    }
  }

  // The circle is the part of the path from `back` on; it is reported at the line that closes it.
  void Report(const std::vector<Frame>& path, const std::string& back, const Dependency& closing) {
    std::string circle;
    bool bOn = false;
    for (const Frame& frame : path) {
      bOn = bOn || frame.name == back;
      if (bOn) circle += NameOf(frame.name) + " -> ";
    }
    report_.Add(closing.nLine, Severity::Error, "option-cycle",
                "options select each other in a circle: " + circle + NameOf(back));
  }

  std::string NameOf(const std::string& upper) const {
    const auto node = graph_.find(upper);
    return node == graph_.end() ? upper : node->second.name;
  }

  const std::unordered_map<std::string, Dependency>& graph_;
  LintReport& report_;
  std::unordered_map<std::string, Mark> marks_;
};

// "[Value=]Member, ..."; "Name\*" stands for the children of Name.
void CheckGroups(const InfFile& inf, const LineNumbers& numbers,
                 const std::vector<OptionLine>& options, const NameLines& known,
                 LintReport& report) {
  std::unordered_map<std::string, int> children;
  for (const OptionLine& option : options) {
    const size_t nSlash = option.name.rfind('\\');
    if (nSlash != std::string::npos) ++children[platform::AnsiUpper(option.name.substr(0, nSlash))];
  }
  ForEachSectionLine(
      inf, numbers, FindSection(inf, "OptionGroups"), [&](const std::string& line, int nLine) {
        std::string value, members = line;
        SplitAtEquals(line, value, members);
        size_t nMembers = 0;
        bool bVariable = false;
        ForEachListedName(members, [&](const std::string& member) {
          bVariable = bVariable || HasVariable(member);
          const bool bChildren = member.ends_with("\\*");
          CheckKnownOption(known, bChildren ? member.substr(0, member.size() - 2) : member,
                           "OptionGroups", nLine, report);
          if (!bChildren) return static_cast<void>(++nMembers);
          const auto found =
              children.find(platform::AnsiUpper(member.substr(0, member.size() - 2)));
          if (found != children.end()) nMembers += static_cast<size_t>(found->second);
        });
        if (nMembers == 1 && !bVariable)
          report.Add(nLine, Severity::Warning, "one-member-group",
                     "option group with a single member: an exclusive choice "
                     "with nothing to choose from");
      });
}

}  // namespace

void CheckOptionGraph(const InfFile& inf, const LineNumbers& numbers, LintReport& report) {
  const std::vector<OptionLine> options = ReadOptionNames(inf, numbers);
  const NameLines known = CheckDuplicateOptions(options, report);
  CheckOrder(options, known, report);
  CycleSearch(ReadDependencies(inf, numbers, known, report), report).Run();
  CheckGroups(inf, numbers, options, known, report);
}

}  // namespace tarvium::lint
