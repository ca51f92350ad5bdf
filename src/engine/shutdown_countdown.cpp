// The /Y mode: the restart page of the run's user interface shows the text and counts down (or,
// with a negative countdown, waits for OK); whatever ends the page, the request goes out then.
// A run without a user interface warns nobody and requests at once.
#include "engine/shutdown_countdown.h"

#include <cstdlib>

#include "engine/inf_fields.h"
#include "engine/run_plan.h"
#include "engine/setup_run.h"
#include "engine/text_escapes.h"
#include "platform/power.h"

namespace tarvium {
namespace {

int32_t Number(const std::string& field) {
  return static_cast<int32_t>(std::strtol(field.c_str(), nullptr, 10));
}

}  // namespace

ShutdownSpec ParseShutdownSpec(const std::string& value) {
  std::string fields[5];
  const char* rest = value.c_str();
  for (std::string& field : fields) rest = NextField(rest, field);
  ShutdownSpec countdown;
  countdown.message = ResolveTextEscapes(fields[0]);
  countdown.bReboot = Number(fields[1]) != 0;
  countdown.bForce = Number(fields[2]) != 0;
  countdown.nSeconds = Number(fields[3]);
  countdown.nFifth = Number(fields[4]);
  return countdown;
}

uint32_t RunShutdownCountdown(SetupRun& run, const std::string& value) {
  const ShutdownSpec countdown = ParseShutdownSpec(value);
  if (run.ui) {
    ui::PageRequest page;
    page.kind = ui::PageKind::Restart;
    page.text = countdown.message;
    page.nSeconds = countdown.nSeconds;
    page.nDefaultChoice = ui::kRestartNow;
    page.bCancel = false;
    NotePlanPage(run, page, run.ui->ShowPage(page));
  }
  return run.machine.PowerRequests().InitiateSystemShutdown(countdown.message, 0, countdown.bForce,
                                                            countdown.bReboot,
                                                            platform::SHTDN_REASON_MAJOR_SOFTWARE);
}

}  // namespace tarvium
