// Which end-to-end scenarios the comparison of the two machines takes, and what it leaves out of
// each: the scenarios that need what only the emulated machine has, and the documentation's table
// of deliberate differences between the emulated machine and Windows under Wine.
#pragma once
#include <string>
#include <vector>

#include "support/setup_scenario.h"

namespace tarvium::test {

// The [Then] lines that only look at the emulated machine (its programs list, windows, printers,
// services, groups, shares, rights, access lists and registry keys) and change nothing, which the
// comparison passes over.
bool IsInspection(const std::string& thenLine);

// A [Then] line "setup|winmachine <status> <arguments>".
struct ThenRun {
  std::string program;
  int nStatus = 0;
  std::string args;
};

// The [Then] lines both machines run: all but the inspections.
std::vector<ThenRun> ComparedThenRuns(const Scenario& scenario);

// A row of the documentation's table: diff lines that one machine has and the other need not, in
// the scenarios it names or ("every scenario") in all; or scenarios that are not compared.
struct ListedDifference {
  std::vector<std::string> scenarios;  // empty: every scenario
  std::vector<std::string> patterns;
  std::string notCompared;  // why, when the scenarios are not compared at all

  bool Covers(const std::string& scenario) const;
};

// The rows of the table under the heading "Deliberate differences" of the documentation
// (docs/windows/scenarios-on-both-machines.md).
std::vector<ListedDifference> ReadListedDifferences();

// Why a scenario is not compared: it needs the emulated machine, or the documentation lists it as
// one that Wine cannot run as Windows would; "" when it is compared.
std::string WhyNotCompared(const Scenario& scenario, const std::vector<ListedDifference>& rows);

}  // namespace tarvium::test
