// The setup information file of an administrator installation, rewritten at the end of the
// administrator setup: it is marked as an administrator installation ([Admin] AdminSetup=1), and
// when the administrator chose options, the options not chosen are taken out of [Options] so that
// installations from the server offer only those. The file keeps its times, so that a copy of it
// compares as the file the administrator installed.
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

// The file's path on the server: the application directory, the file's own directory below the
// source and its name.
std::string AdminInstallationFilePath(SetupRun& run);

// False when the file cannot be opened.
bool RewriteAdminInstallationFile(SetupRun& run);

}  // namespace tarvium
