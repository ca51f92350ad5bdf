// The phases of SetupMain, each one short function over the run. The phase runner of
// main_sequence.cpp calls them in order; a phase runs only while the run's bOk holds, unless the
// table marks it as one that always runs. A phase ends SetupMain early by what it returns: the
// run did not start (exit code -1, no end of run), or the message loop and the end of the run
// follow at once (usage text, RunIfInstalled).
#pragma once
#include <cstdint>

namespace tarvium {

struct SetupRun;

enum class PhaseEnd {
  Next,        // on to the next phase
  StartLoop,   // SetupMain returns 1: the message loop and EndOfRun follow
  NotStarted,  // SetupMain returns 0: the run did not start
};

// Start: initialisation, command line, setup information file, identity (start_phases.cpp).
PhaseEnd InitialiseRun(SetupRun& run);
PhaseEnd ReadCommandLine(SetupRun& run);
PhaseEnd ResolveFiles(SetupRun& run);
PhaseEnd LoadSetupFile(SetupRun& run);
PhaseEnd TakeSetupProgram(SetupRun& run);
PhaseEnd CreateMainWindow(SetupRun& run);
PhaseEnd LoadStringSections(SetupRun& run);
PhaseEnd ReadIdentity(SetupRun& run);
PhaseEnd ApplySourceDirectory(SetupRun& run);
PhaseEnd SendVariablesToDebugger(SetupRun& run);
PhaseEnd ApplyWorkstationSwitch(SetupRun& run);
PhaseEnd CheckRequiredVersion(SetupRun& run);

// Run mode against the installed product (run_mode_phases.cpp).
PhaseEnd UndoInterruptedRun(SetupRun& run);
PhaseEnd ReadInstalledVersion(SetupRun& run);
PhaseEnd AskAdministratorPage(SetupRun& run);
PhaseEnd DetermineInstalledProduct(SetupRun& run);
PhaseEnd DecideRunMode(SetupRun& run);
PhaseEnd CheckRequirements(SetupRun& run);
PhaseEnd TakeInstalledData(SetupRun& run);
PhaseEnd StartRunIfInstalled(SetupRun& run);
PhaseEnd ApplyClientSetup(SetupRun& run);
PhaseEnd ConfirmUninstall(SetupRun& run);
PhaseEnd OfferPreviousVersionRemoval(SetupRun& run);
PhaseEnd RemoveWorkstationUsers(SetupRun& run);

// Preparing and running the installation (install_phases.cpp, wizard_pages.cpp).
PhaseEnd SetDirectories(SetupRun& run);
PhaseEnd LoadExtensionLibrary(SetupRun& run);
PhaseEnd LoadOptions(SetupRun& run);
PhaseEnd ConnectService(SetupRun& run);
PhaseEnd AskPages(SetupRun& run);

namespace ui {
struct PageRequest;
}
// Asks one wizard page: through the setup service in a connected run, else the user interface
// (a run without one takes the page's default).
int ShowWizardPage(SetupRun& run, ui::PageRequest& page);
PhaseEnd FinishDirectories(SetupRun& run);
PhaseEnd SetCopyDirectories(SetupRun& run);
PhaseEnd OpenTestList(SetupRun& run);
PhaseEnd ReloadEnvironment(SetupRun& run);
PhaseEnd RunInstallation(SetupRun& run);
PhaseEnd EndInstallationRun(SetupRun& run);  // end_of_installation.cpp
PhaseEnd CleanUp(SetupRun& run);

// Stops the run for a restart after a previous version was removed: not a failure.
void StopForRestart(SetupRun& run, int32_t iReboot);

}  // namespace tarvium
