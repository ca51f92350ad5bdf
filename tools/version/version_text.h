// What every program of the project answers to --version, in the form GNU tools use: the program,
// the product and its version on the first line ("winmachine (Tarvium Setup) 1.0.0"), then the
// copyright and the licence. The version is the one CMake's project() sets (tarvium_version.h).
#pragma once
#include <string>
#include <string_view>

#include "platform/console.h"

namespace tarvium {

// The argument that asks for the version: "--version".
bool IsVersionArgument(std::string_view argument);
// Whether a tool's first argument asks for the version (what follows it is not looked at).
bool AsksForVersion(int argc, char** argv);
// Whether any argument asks for it: Setup.exe's, whose other arguments are switches and a file.
bool AnyArgumentAsksForVersion(int argc, char** argv);
// The lines, separated by '\n', without a line end after the last.
std::string VersionText(std::string_view programName);
// Writes text of lines separated by '\n' to the console's standard output, each as a line.
void WriteLines(platform::Console& console, std::string_view lines);
// Writes the lines to the console's standard output.
void WriteVersion(platform::Console& console, std::string_view programName);
// Writes the lines to the standard output of this process and returns 0, the exit status of a
// tool that was asked for its version.
int PrintVersion(std::string_view programName);

}  // namespace tarvium
