#include "install/progress.h"

#include <algorithm>

#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "install/install_engine.h"

namespace tarvium {

void SetProgressRange(SetupRun& run, int64_t nRange) {
  InstallEngine& engine = EngineOf(run);
  engine.nProgressRange = nRange > 0 ? nRange : 100;
  engine.nProgressPosition = 0;
  if (SetupService* service = ConnectedService(run))
    service->SetProgressPos(run, engine.nProgressRange, 0);
}

void MoveProgress(SetupRun& run, int64_t nAmount) {
  if (nAmount == 0) return;
  InstallEngine& engine = EngineOf(run);
  const bool bReset = nAmount == kProgressReset;
  engine.nProgressPosition = bReset ? 0 : engine.nProgressPosition + nAmount;
  SetupTrace(run, "Progress %lld\n", static_cast<long long>(engine.nProgressPosition));
  if (SetupService* service = ConnectedService(run))
    service->SetProgressPos(run, engine.nProgressRange, engine.nProgressPosition);
  if (!run.ui) return;
  const int64_t nPercent =
      std::min<int64_t>(100, engine.nProgressPosition * 100 / engine.nProgressRange);
  run.ui->ShowProgress(bReset ? -1 : static_cast<int>(nPercent));
}

}  // namespace tarvium
