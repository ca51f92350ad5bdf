#include "support/setup_scenario.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>

#include "support/doc_pages.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace tarvium::test {
namespace {

std::string ScenariosDir() {
  return std::string(TARVIUM_SOURCE_DIR) + "/tests/e2e/scenarios";
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

}  // namespace

const std::vector<std::string>& Scenario::Lines(const std::string& section) const {
  static const std::vector<std::string> kNone;
  const auto found = sections.find(section);
  return found == sections.end() ? kNone : found->second;
}

std::vector<std::string> ScenarioNames() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(ScenariosDir()))
    if (entry.is_directory()) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string ScenarioTestName(const std::string& name) {
  std::string testName = name;
  for (char& c : testName)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return testName;
}

Scenario LoadScenario(const std::string& name) {
  Scenario scenario;
  scenario.name = name;
  scenario.dir = ScenariosDir() + "/" + name;
  std::string section;
  for (const std::string& line : SplitLines(ReadHostFile(scenario.dir + "/scenario.ini"))) {
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
      continue;
    }
    scenario.sections[section].push_back(line);
    const size_t nEquals = line.find('=');
    if (section == "Run" && nEquals != std::string::npos)
      scenario.run[line.substr(0, nEquals)] = line.substr(nEquals + 1);
  }
  return scenario;
}

std::vector<std::string> DocExamples() {
  std::vector<std::string> examples;
  for (const std::string& page : DocPages())
    for (const DocBlock& block : DocBlocks(page))
      if (block.kind == "ini") examples.push_back(ReplaceAll(block.text, "\n", "\r\n"));
  return examples;
}

std::string DocExample(const std::string& line) {
  std::string found;
  for (const std::string& example : DocExamples()) {
    const std::vector<std::string> lines = SplitLines(example);
    if (std::find(lines.begin(), lines.end(), line) == lines.end()) continue;
    if (!found.empty()) return "";  // the line does not tell the examples apart
    found = example;
  }
  return found;
}

std::string MergeExample(const std::string& setupInf, const std::string& example) {
  std::vector<std::string> lines = SplitLines(setupInf);
  // The line after the header of the section, which is added at the end when the file lacks it.
  const auto afterHeader = [&](const std::string& name) {
    for (size_t n = 0; n < lines.size(); ++n)
      if (lines[n].size() == name.size() + 2 && lines[n][0] == '[' &&
          strcasecmp(lines[n].substr(1, name.size()).c_str(), name.c_str()) == 0)
        return n + 1;
    lines.push_back("[" + name + "]");
    return lines.size();
  };
  // Each of the example's sections goes right after the header of the file's section of that
  // name, so that the lines the file has there (checks of what the example did) follow it.
  size_t nAt = 0;  // lines before the example's first section go to the top
  for (const std::string& line : SplitLines(example)) {
    if (!line.empty() && line[0] == '[' && line.back() == ']') {
      nAt = afterHeader(line.substr(1, line.size() - 2));
    } else if (!line.empty()) {
      lines.insert(lines.begin() + static_cast<long>(nAt++), line);
    }
  }
  std::string merged;
  for (const std::string& line : lines) merged += line + "\r\n";
  return merged;
}

bool MatchLines(const std::vector<std::string>& expected, const std::string& text,
                std::string& why) {
  const std::vector<std::string> lines = SplitLines(text);
  size_t nNext = 0;
  for (const std::string& want : expected) {
    const bool bAbsent = !want.empty() && want[0] == '!';
    const std::string part = bAbsent ? want.substr(1) : want;
    const auto holds = [&](const std::string& line) {
      return line.find(part) != std::string::npos;
    };
    if (bAbsent) {
      if (std::any_of(lines.begin(), lines.end(), holds)) {
        why = "unexpected: " + part;
        return false;
      }
      continue;
    }
    const auto found = std::find_if(lines.begin() + static_cast<long>(nNext), lines.end(), holds);
    if (found == lines.end()) {
      why = "missing (in this order): " + part;
      return false;
    }
    nNext = static_cast<size_t>(found - lines.begin());  // one line may hold several parts
  }
  return true;
}

bool MatchDiff(const std::vector<std::string>& expected, const std::vector<std::string>& actual) {
  if (expected.size() != actual.size()) return false;
  for (size_t i = 0; i < expected.size(); ++i) {
    const std::string& want = expected[i];
    const bool bPrefix = !want.empty() && want.back() == '*';
    if (bPrefix ? actual[i].rfind(want.substr(0, want.size() - 1), 0) != 0 : actual[i] != want)
      return false;
  }
  return true;
}

std::string TrustModulesCommand(const std::string& media, const std::string& machine,
                                const std::string& names) {
  const std::string list = ShellQuote(machine + "/trusted-modules.txt");
  return "cd " + ShellQuote(media) + " && sha256sum " + names + " >> " + list + " && chmod 644 " +
         list;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  if (from.empty()) return text;
  for (size_t pos = 0; (pos = text.find(from, pos)) != std::string::npos; pos += to.size())
    text.replace(pos, from.size(), to);
  return text;
}

IniSetting ParseIniSetting(const std::string& line, const std::string& setupExe) {
  const std::string text = ReplaceAll(line, "%SETUP_EXE%", setupExe);
  const size_t nSlash = text.find('/');
  const size_t nEquals = text.find('=', nSlash);
  return {text.substr(0, nSlash), text.substr(nSlash + 1, nEquals - nSlash - 1),
          text.substr(nEquals + 1)};
}

std::string SeedWithFolder(const std::string& regText, const std::string& folder) {
  return ReplaceAll(regText, "%SCENARIO%", ReplaceAll(ZPath(folder), "\\", "\\\\"));
}

}  // namespace tarvium::test
