// One host process behind a process handle. Either a child this service started (waited for and
// reaped here, its exit code taken from the exit-code file or the POSIX status) or another
// running process opened by id (watched through a pidfd; the host does not tell a non-parent its
// exit code, so that is 0 unless it was ended through here). A pidfd lets a wait step wake the
// moment the process ends instead of polling.
#pragma once
#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace platform {

class HostChild {
 public:
  // A child just spawned in its own process group; exitCodeFile may be empty.
  static std::unique_ptr<HostChild> Started(pid_t pid, std::string exitCodeFile);
  // A process found by id; ERROR_INVALID_PARAMETER when there is none.
  static uint32_t Open(pid_t pid, std::unique_ptr<HostChild>& child);
  // A child still running is left to a background reaper so that it never stays a zombie.
  ~HostChild();
  HostChild(const HostChild&) = delete;
  HostChild& operator=(const HostChild&) = delete;

  pid_t Pid() const { return pid_; }
  // Looks without blocking; reaps a child that has ended.
  bool HasEnded();
  // Blocks for at most nMs, less when the process ends meanwhile.
  void WaitStep(uint32_t nMs);
  // Kills the process (a started child with its whole process group, then reaps it) and makes
  // dwExitCode its exit code; ERROR_ACCESS_DENIED when it had already ended.
  uint32_t Terminate(uint32_t dwExitCode);
  // The exit code once HasEnded() is true.
  uint32_t ExitCode() const { return dwExitCode_; }

 private:
  HostChild(pid_t pid, bool bStarted, int pidfd, std::string exitCodeFile);
  bool ReapIfEnded(bool bBlock);
  void Finish(uint32_t dwExitCode);
  int SendKill();

  pid_t pid_;
  bool bStarted_;
  int pidfd_;  // -1 when the kernel offers no pidfd
  std::string exitCodeFile_;
  bool bEnded_ = false;
  uint32_t dwExitCode_ = 0;
  std::optional<uint32_t> terminateCode_;  // opened processes ended through here
};

}  // namespace platform
