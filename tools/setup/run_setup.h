// The run both builds of Setup.exe make once they hold their machine: the engine's parts attached
// to one run, the command line given to it, its 32-bit exit code returned.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/machine.h"

namespace tarvium::setup {

// The arguments (ANSI) as one command text; an argument with blanks is quoted as a whole. The
// usual requests for help, "--help" and "-h", ask what /? asks: as switches they would mean
// nothing, and the run would install the Setup.inf of the current folder.
std::string CommandText(const std::vector<std::string>& arguments);

// Whether the arguments ask for the usage as a person at a shell asks ("--help" or "-h"): it then
// goes to standard output as plain text, for a pager or grep, and no machine is opened.
// "/?" is the engine's own request: the usage message of the run (text 5541).
bool AsksForUsageText(const std::vector<std::string>& arguments);
// The usage line of the English catalog (text 5541) and where every switch is described.
std::string UsageText();

// Writes a file of the program's own output (a run plan) where its caller reads it: a host file
// beside the emulated machine, a file of the machine on Windows. Returns a Windows error code.
using WriteOutputFile = std::function<uint32_t(const std::string& path, const std::string& bytes)>;

// Runs the setup on the machine as the program at exePath (its Windows path) and returns the
// run's exit code. With "/Plan:FILE" the run changes nothing: it goes against a recording
// machine and writes its plan to FILE (text) and FILE.jsonl (JSON lines) through writeOutput.
int32_t RunSetup(platform::Machine& machine, const std::string& exePath,
                 const std::string& commandText, const WriteOutputFile& writeOutput);

}  // namespace tarvium::setup
