// What the main sequence asks of the installation engine: the option table, the requirements and
// the installation run. The installation engine sits above the engine (it reads the run, the file
// and the variables), so it attaches these operations to the run (AttachInstallEngine) as the
// script engine attaches its own. A run without them has no options, meets every requirement and
// installs nothing; the main sequence's own tests see that.
#pragma once
#include <functional>
#include <string>

namespace tarvium {

struct SetupRun;

struct InstallHooks {
  // Builds the option table from the option sections of the file; false stops the run.
  std::function<bool(SetupRun&)> buildOptions;
  // Applies the /O text: "+Name" selects an option, "-Name" deselects it, carried to dependants.
  std::function<void(SetupRun&, const std::string& szOptions)> applyOptionSwitch;
  // Checks the "Requirements" lines; false with the failed requirement's text when one fails.
  std::function<bool(SetupRun&, std::string& szFailedRequirement)> checkRequirements;
  // After the options page: true when the target drive has room for the selection; otherwise
  // false with the target named for the message.
  std::function<bool(SetupRun&, std::string& szTarget)> hasSpaceForSelection;
  // The installation run: the install (or removal) pass over the selected options.
  std::function<bool(SetupRun&)> runInstallation;
};

}  // namespace tarvium
