// Engine images: how a program path on the emulated machine reaches this setup engine. An
// uninstall command or a child setup starts "Setup.exe" or "%Windows%\_UnInst.exe" by its Windows
// path; on the emulated machine such a file is a short text that starts with a fixed signature
// line. The program starter recognises it and runs the engine binary in its place, with the
// Windows command line's arguments, the exit-code file of every started program (so the full
// 32-bit code comes back) and TARVIUM_ENGINE_IMAGE naming the Windows path it was started as.
//
// Which binary is the engine is decided when the image is started, so that a machine created by
// one build still works from another build or a fresh clone. The first that is an executable
// file of:
//   1. TARVIUM_ENGINE in the environment given to the machine (one invocation's choice);
//   2. "Engine=" in the [Programs] section of machine.ini (relative to the machine directory);
//   3. "Setup.exe" beside the running program (a running engine starts itself; an installed
//      winmachine finds the engine installed beside it).
// Without one the start fails with ERROR_BAD_EXE_FORMAT, as a PE file does without Wine.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace platform {

inline constexpr char kEngineImageSignature[] = "TARVIUM SETUP ENGINE IMAGE\r\n";
inline constexpr char kEngineVariable[] = "TARVIUM_ENGINE";
inline constexpr char kEngineImageVariable[] = "TARVIUM_ENGINE_IMAGE";

// The whole text of an engine image: the signature line and a line that explains it to a reader.
std::string EngineImageText();

// Whether a file that starts with these bytes is an engine image.
bool IsEngineImage(std::string_view head);

// The candidate engine binaries in the order above (host paths; missing ones left out).
std::vector<std::string> EngineCandidates(const std::string& fromEnvironment,
                                          const std::string& fromMachineConfig);

// The first candidate that is an executable regular file, or empty.
std::string FindEngine(const std::vector<std::string>& candidates);

// The host path that relativePath names from the running program's directory, "." and ".."
// resolved ("../libexec/tarvium-setup/Setup.exe" from /usr/bin/winmachine is
// /usr/libexec/tarvium-setup/Setup.exe): where an installed tool finds the engine installed
// with it. Empty when the host cannot tell where the running program is.
std::string BesideRunningProgram(const std::string& relativePath);

// Removes the image variable from a child's environment and, for an engine image, sets it to the
// image's Windows path.
void SetEngineImageVariable(std::vector<std::string>& environment,
                            const std::string& imageWindowsPath);

}  // namespace platform
