// The step every archive operation takes between two entries: pump the window messages so the
// user interface stays alive (a Cancel there sets the abort flag the next entry tests).
#pragma once
#include "engine/pump_messages.h"

namespace tarvium {

inline void PumpBetweenEntries(SetupRun& run) {
  PumpWindowMessages(run);
}

}  // namespace tarvium
