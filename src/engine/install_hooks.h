// What the main sequence asks of the installation engine: the option table, the requirements and
// the installation run. The installation engine sits above the engine (it reads the run, the file
// and the variables), so it attaches these operations to the run (AttachInstallEngine) as the
// script engine attaches its own. A run without them has no options, meets every requirement,
// installs nothing and finds no installed product; the main sequence's own tests see that.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "engine/sequence_state.h"

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
  // The bytes an installation mode (6102 full, 6105 standard) would install, for the mode page.
  std::function<int64_t(SetupRun&, int iMode)> sizeOfMode;
  // The installation run: the install (or removal) pass over the selected options.
  std::function<bool(SetupRun&)> runInstallation;

  // --- The installed product, read from its registration ---------------------------------------
  // The installed version of this product (bOlderOnly: the first one older than %Version%, whose
  // directories are taken over); false when none is registered.
  std::function<bool(SetupRun&, bool bOlderOnly, InstalledVersionInfo& found)> findInstalledVersion;
  // Undoes what a killed run of this product left noted in its record, before anything is
  // decided from the record; false stops the run.
  std::function<bool(SetupRun&)> recoverInterruptedRun;
  // Sets bInstalled, bUserPartRun and bNewerRevision from the product's record.
  std::function<void(SetupRun&)> readInstalledProduct;
  // Reads the installed product's name, user, company, directories and administrator origin into
  // the variables of the run; false when the product's record has no ProductName.
  std::function<bool(SetupRun&)> readInstalledData;
  // Runs the uninstall command of an older version; false when it failed and the answer to the
  // failure was not Ignore. dwExitCode receives the command's exit code.
  std::function<bool(SetupRun&, const InstalledVersionInfo& older, uint32_t& dwExitCode)>
      removePreviousVersion;
  // Removes the user part of every user a workstation installation lists; false stops the run.
  std::function<bool(SetupRun&)> removeUserParts;
  // The options page: returns the page result (1 Next, 998 Back, 2 Cancel); without it the page
  // is skipped, as a run without options has nothing to choose.
  std::function<int(SetupRun&, bool bBack)> askOptions;
};

}  // namespace tarvium
