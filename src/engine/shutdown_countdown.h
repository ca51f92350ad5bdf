// RunShutdownCountdown: the /Y mode. It shows a text and counts down, then asks the machine for a
// shutdown or restart; nothing else of the run happens.
#pragma once
#include <cstdint>
#include <string>

namespace tarvium {

struct SetupRun;

struct ShutdownSpec {
  std::string message;  // "\n" in the value is a line break, "\\" a backslash
  bool bReboot = false;
  bool bForce = false;
  int32_t nSeconds = 0;  // negative: no counter, wait for OK
  int32_t nFifth = 0;    // read and not used
};

ShutdownSpec ParseShutdownSpec(const std::string& value);
// Shows the restart page with the countdown and requests the shutdown when it ends. Returns the
// Windows error of the request.
uint32_t RunShutdownCountdown(SetupRun& run, const std::string& value);

}  // namespace tarvium
