#include "comparison_scope.h"

#include <algorithm>
#include <sstream>

#include "support/doc_pages.h"

namespace tarvium::test {
namespace {

// Whether a Prepare= or After= command needs the emulated machine: its folder, or a winmachine
// command other than `path` (which wine-winmachine answers under Wine).
bool NeedsEmulatedMachine(const std::string& command) {
  if (command.find("TARVIUM_MACHINE") != std::string::npos) return true;
  const std::string tool = "\"$WINMACHINE\" ";
  for (size_t pos = command.find(tool); pos != std::string::npos; pos = command.find(tool, pos + 1))
    if (command.compare(pos + tool.size(), 5, "path ") != 0) return true;
  return false;
}

// Whether a [Then] line runs a product's command of the programs list, which wine-winmachine
// runs too.
bool RunsProgramsListCommand(const std::string& thenLine) {
  std::istringstream words(thenLine);
  std::string program, status, command, action;
  words >> program >> status >> command >> action;
  return program == "winmachine" && command == "programs" &&
         (action == "uninstall" || action == "repair");
}

// Why a scenario runs on the emulated machine only; "" when it runs on both.
std::string EmulatedOnlyReason(const Scenario& scenario) {
  auto commandNeedsMachine = [&scenario](const std::string& key) {
    return scenario.run.count(key) && NeedsEmulatedMachine(scenario.run.at(key));
  };
  if (scenario.run.count("LinuxOnly")) return scenario.run.at("LinuxOnly");
  if (!scenario.Lines("MachineIni").empty()) return "it configures the emulated machine";
  if (scenario.run.count("TrustTestExtension")) return "its extension is a Linux library";
  if (scenario.run.count("HoldLocked")) return "it holds a file of the emulated machine locked";
  if (commandNeedsMachine("Prepare") || commandNeedsMachine("After"))
    return "it prepares or inspects the machine with winmachine";
  for (const std::string& line : scenario.Lines("Then"))
    if (line.rfind("winmachine", 0) == 0 && !IsInspection(line) && !RunsProgramsListCommand(line))
      return "it runs winmachine after the setup";
  return "";
}

}  // namespace

bool IsInspection(const std::string& thenLine) {
  std::istringstream words(thenLine);
  std::string program, status, command, more;
  words >> program >> status >> command >> more;
  if (program != "winmachine") return false;
  const bool bListing = more.empty() || more == "list" || more == "query";
  return command == "window" || command == "printers" || command == "shares" ||
         (command == "reg" && more == "query") || command == "rights" || command == "acl" ||
         (command == "programs" && more.empty()) ||
         ((command == "services" || command == "group") && bListing);
}

std::vector<ThenRun> ComparedThenRuns(const Scenario& scenario) {
  std::vector<ThenRun> runs;
  for (const std::string& line : scenario.Lines("Then")) {
    if (IsInspection(line)) continue;
    std::istringstream words(line);
    ThenRun run;
    words >> run.program >> run.nStatus;
    std::getline(words, run.args);
    runs.push_back(std::move(run));
  }
  return runs;
}

bool ListedDifference::Covers(const std::string& scenario) const {
  return scenarios.empty() ||
         std::find(scenarios.begin(), scenarios.end(), scenario) != scenarios.end();
}

// The scenarios (names in backticks, or "every scenario") in the first cell; in the second the
// patterns in backticks, or "not compared" (with the reason in the third).
std::vector<ListedDifference> ReadListedDifferences() {
  std::vector<ListedDifference> rows;
  for (const std::string& line : DocSection("Deliberate differences")) {
    if (line.rfind("| ", 0) != 0) continue;
    std::vector<std::string> cells;
    std::istringstream row(line.substr(1));
    for (std::string cell; std::getline(row, cell, '|');) cells.push_back(cell);
    if (cells.size() < 3) continue;
    ListedDifference difference;
    auto quoted = [](const std::string& cell) {
      std::vector<std::string> parts;
      for (size_t open = cell.find('`'); open != std::string::npos;
           open = cell.find('`', cell.find('`', open + 1) + 1)) {
        const size_t close = cell.find('`', open + 1);
        if (close == std::string::npos) break;
        parts.push_back(cell.substr(open + 1, close - open - 1));
      }
      return parts;
    };
    difference.scenarios = quoted(cells[0]);
    difference.patterns = quoted(cells[1]);
    if (cells[1].find("not compared") != std::string::npos) difference.notCompared = cells[2];
    if (!difference.patterns.empty() || !difference.notCompared.empty())
      rows.push_back(std::move(difference));
  }
  return rows;
}

std::string WhyNotCompared(const Scenario& scenario, const std::vector<ListedDifference>& rows) {
  if (std::string reason = EmulatedOnlyReason(scenario); !reason.empty())
    return "emulated machine only: " + reason;
  for (const ListedDifference& row : rows)
    if (!row.notCompared.empty() && row.Covers(scenario.name))
      return "under Wine:" + row.notCompared;
  return "";
}

}  // namespace tarvium::test
