// SetupContext: the state of one run. Later parts of the engine add their switch fields, run-mode
// flags, product identity and end-of-run fields here; each field is documented where it is read.
#pragma once

namespace tarvium {

struct SetupContext {
  bool bUninstall = false;  // /U: the run removes the product; section cursors walk backwards
  bool bAborted = false;    // the run's abort flag: set by Cancel answers, tested by every step
};

}  // namespace tarvium
