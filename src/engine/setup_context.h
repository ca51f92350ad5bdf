// SetupContext: the state of one run. Later parts of the engine add their switch fields, run-mode
// flags, product identity and end-of-run fields here; each field is documented where it is read.
#pragma once
#include <string>

namespace tarvium {

struct SetupContext {
  bool bUninstall = false;  // /U: the run removes the product; section cursors walk backwards
  bool bAborted = false;    // the run's abort flag: set by Cancel answers, tested by every step
  // Windows path of the folder that holds the running Setup.exe, without a trailing backslash;
  // set by main. Modules such as UnRAR64.dll are looked for there when no folder is given.
  std::string szExeDir;
};

}  // namespace tarvium
