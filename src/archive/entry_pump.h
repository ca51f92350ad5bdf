// The step every archive operation takes between two entries: pump the window messages so the
// user interface stays alive (a Cancel there sets the abort flag the next entry tests).
#pragma once
#include "engine/setup_run.h"

namespace tarvium {

inline void PumpBetweenEntries(SetupRun& run) {
  if (run.pumpMessages) run.pumpMessages();
}

}  // namespace tarvium
