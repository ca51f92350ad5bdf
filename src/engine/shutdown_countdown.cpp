// There is no window on this platform yet: the countdown waits second by second and the request
// goes out at 0. A negative countdown, which waits for OK, is taken as OK at once.
#include "engine/shutdown_countdown.h"

#include <cstdlib>

#include "engine/inf_fields.h"
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
  for (int32_t nLeft = countdown.nSeconds; nLeft > 0; --nLeft) run.machine.Time().Sleep(1000);
  return run.machine.PowerRequests().InitiateSystemShutdown(countdown.message, 0, countdown.bForce,
                                                            countdown.bReboot,
                                                            platform::SHTDN_REASON_MAJOR_SOFTWARE);
}

}  // namespace tarvium
