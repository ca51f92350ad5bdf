// What the phases of the main sequence hand on to later phases and nobody else reads: the
// source directory as the command line left it, the test list, the version an older installation
// was found with, and the result SetupMain ends with. Kept on the run beside SetupContext so that
// each phase stays a short function over the run.
#pragma once
#include <cstdint>
#include <string>

#include "platform/file_system.h"

namespace tarvium {

// An installation of this product found in the registry.
struct InstalledVersionInfo {
  std::string szVersion;
  std::string szRevision;
  bool b64BitView = false;  // found under Software\Wow6432Node
};

struct SequenceState {
  std::string szArguments;          // the command line's arguments, as the program received them
  std::string szExePath;            // the running executable as a Windows path
  std::string szRememberedSrcDir;   // szSrcDir before [Application] "SrcDir" was applied
  bool bInstalledDataRead = false;  // the installed product's data told the administrator origin
  platform::FileHandle hTestList = platform::FileHandle::Invalid;
  std::string szTestListPath;
  bool bMainLoop = false;  // SetupMain returned 1: the message loop and EndOfRun follow
};

}  // namespace tarvium
