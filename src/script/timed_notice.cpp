#include "script/timed_notice.h"

#include <algorithm>

#include "engine/run_plan.h"
#include "engine/setup_run.h"

namespace tarvium {

bool ShowTimedNotice(SetupRun& run, const std::string& text, int32_t nTimeoutSeconds) {
  if (text.empty() || !run.ui) return false;
  if (run.ctx.bSilent && run.ctx.iSilentLevel < 2) return false;
  ui::MessageBoxRequest request;
  request.caption = run.ctx.szWindowTitle;
  request.text = text;
  request.icon = ui::IconKind::Information;
  request.buttons = {{"&OK", kResultOk}};
  request.nTimeoutMs =
      static_cast<uint32_t>(std::clamp(nTimeoutSeconds, 0, 0x7FFFFFFF / 1000)) * 1000;
  const int nAnswer = run.ui->MessageBox(request);
  NotePlanBox(run, request.bTimedOut ? "notice, timed out" : "notice", nAnswer, text);
  return request.bTimedOut;
}

}  // namespace tarvium
