#include "script/timed_notice.h"

#include "engine/setup_run.h"

namespace tarvium {

bool ShowTimedNotice(SetupRun& run, const std::string& text, int32_t nTimeoutSeconds) {
  (void)nTimeoutSeconds;  // the box backends have no timer yet: a box is answered or closes at once
  if (text.empty() || !run.ui) return true;
  if (run.ctx.bSilent && run.ctx.iSilentLevel < 2) return true;
  ui::MessageBoxRequest request;
  request.caption = run.ctx.szWindowTitle;
  request.text = text;
  request.icon = ui::IconKind::Information;
  request.buttons = {{"&OK", kResultOk}};
  run.ui->MessageBox(request);
  return true;
}

}  // namespace tarvium
