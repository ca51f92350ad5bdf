// The meter moves for every block a copy writes, and each move is traced: the trace line is
// formatted here without printf, which cost more than the rest of the move.
#include "install/progress.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "install/install_engine.h"

namespace tarvium {
namespace {

// "Progress <position>", formatted here: a copy traces it for every block it writes.
void TraceProgress(SetupRun& run, int64_t nPosition) {
  char text[48] = "Progress ";
  constexpr size_t nLabel = sizeof "Progress " - 1;
  char* const end = text + sizeof text - 1;
  char* out = std::to_chars(text + nLabel, end, static_cast<long long>(nPosition)).ptr;
  *out++ = '\n';
  SetupTraceText(run, std::string_view(text, static_cast<size_t>(out - text)));
}

}  // namespace

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
  TraceProgress(run, engine.nProgressPosition);
  if (SetupService* service = ConnectedService(run))
    service->SetProgressPos(run, engine.nProgressRange, engine.nProgressPosition);
  if (!run.ui) return;
  const int64_t nPercent =
      std::min<int64_t>(100, engine.nProgressPosition * 100 / engine.nProgressRange);
  run.ui->ShowProgress(bReset ? -1 : static_cast<int>(nPercent));
}

}  // namespace tarvium
