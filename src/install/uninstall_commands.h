// The commands the product is removed and set up again with: %UninstallString% and
// %ReinstallString%. An administrator installation (or the Application keys, when the Client
// section asks for them) may give them; otherwise they are built from the setup information file
// as installed, started through "_UnInst.exe" in the Windows directory, which is this engine placed
// there when the product is registered.
#pragma once
#include <string>
#include <string_view>

namespace tarvium {

struct SetupRun;

inline constexpr char kUninstallProgram[] = "%Windows%\\_UnInst.exe";

// Sets both variables before the pass.
void BuildUninstallCommands(SetupRun& run);

// The setup information file as the run copies it below a directory: the file's own directory
// below the source (not in a start from CD) and its name.
std::string InfPathBelow(SetupRun& run, std::string directory);
// The same from its parts: the directory, [Application] SetupInfDir and the file's own name.
std::string InfPathIn(std::string directory, std::string_view setupInfDir,
                      std::string_view infFile);

// The built form: a quoted program (unquoted before Windows 4.0), the quoted setup information
// file and, for the uninstall command, " /U".
std::string BuiltUninstallCommand(const std::string& program, const std::string& infPath,
                                  bool bQuoteProgram, bool bUninstall);

}  // namespace tarvium
