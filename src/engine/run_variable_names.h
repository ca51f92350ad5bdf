// Variables that exist in a run without the setup file defining them, beyond the predefined
// table: those the engine sets as it goes (where the setup file was found, the exit code of the
// last program started) and the environment every Windows session gives its processes. The
// engine sets its own by these names; a checker of setup files counts them all as defined.
#pragma once
#include <array>
#include <string_view>

namespace tarvium {

inline constexpr std::string_view kSetupInfServerName = "SetupInfServerName";
inline constexpr std::string_view kSetupInfPathName = "SetupInfPathName";
inline constexpr std::string_view kSetupInfFileName = "SetupInfFileName";
inline constexpr std::string_view kErrorLevel = "ErrorLevel";

inline constexpr std::array<std::string_view, 4> kRunVariableNames = {
    kSetupInfServerName, kSetupInfPathName, kSetupInfFileName, kErrorLevel};

// The process environment of a Windows session, and what the setup service passes in it.
inline constexpr std::array<std::string_view, 33> kSessionEnvironmentNames = {
    "ALLUSERSPROFILE",
    "APPDATA",
    "CommonProgramFiles",
    "CommonProgramFiles(x86)",
    "CommonProgramW6432",
    "COMPUTERNAME",
    "ComSpec",
    "HOMEDRIVE",
    "HOMEPATH",
    "LOCALAPPDATA",
    "LOGONSERVER",
    "NUMBER_OF_PROCESSORS",
    "OS",
    "Path",
    "PATHEXT",
    "PROCESSOR_ARCHITECTURE",
    "ProgramData",
    "ProgramFiles",
    "ProgramFiles(x86)",
    "ProgramW6432",
    "PUBLIC",
    "SystemDrive",
    "SystemRoot",
    "TEMP",
    "TMP",
    "USERDOMAIN",
    "USERNAME",
    "USERPROFILE",
    "windir",
    "CalledFromService",
    "CurrentFqdnUser",
    "SESSIONNAME",
    "USERDNSDOMAIN"};

}  // namespace tarvium
