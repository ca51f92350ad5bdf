#include "engine/pump_messages.h"

#include "engine/setup_run.h"

namespace tarvium {

bool PumpWindowMessages(SetupRun& run) {
  if (run.ui && !run.ui->PumpMessages()) run.ctx.bAborted = true;
  return !run.ctx.bAborted;
}

}  // namespace tarvium
