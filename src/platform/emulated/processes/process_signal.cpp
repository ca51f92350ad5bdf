// Reading /proc/PID/stat for the state and start time, and signals by id. The command name in the
// stat line is in parentheses and may itself hold blanks and parentheses, so the fields are
// counted from the last ')'.
#include "platform/emulated/processes/process_signal.h"

#include <signal.h>
#include <sys/types.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/emulated/machine/host_errno.h"
#include "platform/win_error.h"

namespace platform {

uint64_t ProcessStartTime(uint32_t dwProcessId) {
  if (dwProcessId == 0) return 0;
  std::ifstream stat("/proc/" + std::to_string(dwProcessId) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return 0;
  const size_t nClose = line.rfind(')');
  if (nClose == std::string::npos) return 0;
  std::istringstream fields(line.substr(nClose + 1));
  std::string state;
  fields >> state;  // field 3
  if (state.empty() || state == "Z" || state == "X") return 0;
  std::string skipped;
  for (int i = 4; i < 22; ++i) fields >> skipped;
  uint64_t nStartTime = 0;
  fields >> nStartTime;  // field 22
  return fields ? nStartTime : 0;
}

bool IsSameProcessRunning(uint32_t dwProcessId, uint64_t nStartTime) {
  const uint64_t nNow = ProcessStartTime(dwProcessId);
  return nNow != 0 && nNow == nStartTime;
}

uint32_t SendStopRequest(uint32_t dwProcessId) {
  if (dwProcessId == 0) return ERROR_INVALID_PARAMETER;
  if (::kill(static_cast<pid_t>(dwProcessId), SIGTERM) == 0) return ERROR_SUCCESS;
  return errno == ESRCH ? ERROR_INVALID_PARAMETER : WinErrorFromErrno(errno);
}

void KillProcessGroup(uint32_t dwProcessId) {
  if (dwProcessId == 0) return;
  const pid_t pid = static_cast<pid_t>(dwProcessId);
  ::kill(-pid, SIGKILL);
  ::kill(pid, SIGKILL);
}

}  // namespace platform
