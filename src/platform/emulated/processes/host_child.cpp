// Waiting for, reaping and killing one host process. Reaping happens as soon as an end is seen so
// the pid is never held longer than needed; the process group is killed only while the leader is
// unreaped, because only then can its id not have been reused by an unrelated group.
#include "platform/emulated/processes/host_child.h"

#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <thread>

#include "platform/emulated/machine/host_errno.h"
#include "platform/emulated/processes/exit_code_file.h"
#include "platform/processes.h"
#include "platform/win_error.h"

namespace platform {
namespace {

// pidfds through syscall(): the C library's wrappers are recent, and the header of the first
// release that has them lacks C++ linkage. A pidfd is close-on-exec by definition.
int OpenPidfd(pid_t pid) {
  return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
}

int SendSignal(int pidfd, int nSignal) {
  return static_cast<int>(::syscall(SYS_pidfd_send_signal, pidfd, nSignal, nullptr, 0));
}

void SleepMs(uint32_t nMs) {
  timespec ts{static_cast<time_t>(nMs / 1000), static_cast<long>(nMs % 1000) * 1000000L};
  while (::nanosleep(&ts, &ts) < 0 && errno == EINTR) {
  }
}

// Waits for a child whose handle is gone, on a thread of its own.
void ReapInBackground(pid_t pid) {
  try {
    std::thread([pid] {
      siginfo_t info{};
      while (::waitid(P_PID, pid, &info, WEXITED) < 0 && errno == EINTR) {
      }
    }).detach();
  } catch (const std::system_error&) {
    // No thread to be had: the child stays a zombie until the engine exits, which then ends it.
  }
}

}  // namespace

HostChild::HostChild(pid_t pid, bool bStarted, int pidfd, std::string exitCodeFile)
    : pid_(pid), bStarted_(bStarted), pidfd_(pidfd), exitCodeFile_(std::move(exitCodeFile)) {}

std::unique_ptr<HostChild> HostChild::Started(pid_t pid, std::string exitCodeFile) {
  return std::unique_ptr<HostChild>(
      new HostChild(pid, true, OpenPidfd(pid), std::move(exitCodeFile)));
}

uint32_t HostChild::Open(pid_t pid, std::unique_ptr<HostChild>& child) {
  if (pid <= 0) return ERROR_INVALID_PARAMETER;
  const int pidfd = OpenPidfd(pid);
  if (pidfd < 0 && errno != ENOSYS)
    return errno == ESRCH ? ERROR_INVALID_PARAMETER : WinErrorFromErrno(errno);
  // A kernel without pidfds: the process is then watched through kill(pid, 0).
  if (pidfd < 0 && ::kill(pid, 0) < 0 && errno == ESRCH) return ERROR_INVALID_PARAMETER;
  child.reset(new HostChild(pid, false, pidfd, {}));
  return ERROR_SUCCESS;
}

// With the handle gone nobody can ask for the exit code any more, so the exit-code file goes at
// once; the child's ExitProcess then finds no file and writes nothing.
HostChild::~HostChild() {
  if (bStarted_ && !bEnded_ && !ReapIfEnded(false)) {
    if (!exitCodeFile_.empty()) ::unlink(exitCodeFile_.c_str());
    ReapInBackground(pid_);
  }
  if (pidfd_ >= 0) ::close(pidfd_);
}

bool HostChild::ReapIfEnded(bool bBlock) {
  siginfo_t info{};
  int r;
  do {
    r = ::waitid(P_PID, pid_, &info, WEXITED | (bBlock ? 0 : WNOHANG));
  } while (r < 0 && errno == EINTR);
  if (r < 0) {  // ECHILD: someone else reaped it (SIGCHLD ignored); its code is lost
    Finish(0);
    return true;
  }
  if (info.si_pid == 0) return false;
  Finish(ExitCodeOfChild(exitCodeFile_, info.si_code, info.si_status));
  return true;
}

void HostChild::Finish(uint32_t dwExitCode) {
  bEnded_ = true;
  dwExitCode_ = dwExitCode;
  if (!exitCodeFile_.empty()) ::unlink(exitCodeFile_.c_str());
  exitCodeFile_.clear();
}

bool HostChild::HasEnded() {
  if (bEnded_) return true;
  if (bStarted_) return ReapIfEnded(false);
  bool bGone;
  if (pidfd_ >= 0) {
    pollfd pfd{pidfd_, POLLIN, 0};
    bGone = ::poll(&pfd, 1, 0) > 0;
  } else {
    bGone = ::kill(pid_, 0) < 0 && errno == ESRCH;
  }
  if (bGone) Finish(terminateCode_.value_or(0));
  return bGone;
}

void HostChild::WaitStep(uint32_t nMs) {
  if (HasEnded()) return;
  if (pidfd_ < 0) {
    SleepMs(std::min(nMs, WAIT_STEP_MS));  // nothing to wake on: keep steps short
    return;
  }
  pollfd pfd{pidfd_, POLLIN, 0};
  ::poll(&pfd, 1, static_cast<int>(std::min<uint32_t>(nMs, INT32_MAX)));
}

int HostChild::SendKill() {
  return pidfd_ >= 0 ? SendSignal(pidfd_, SIGKILL) : ::kill(pid_, SIGKILL);
}

uint32_t HostChild::Terminate(uint32_t dwExitCode) {
  if (HasEnded()) return ERROR_ACCESS_DENIED;
  if (!bStarted_) {
    if (SendKill() < 0) return errno == ESRCH ? ERROR_ACCESS_DENIED : WinErrorFromErrno(errno);
    terminateCode_ = dwExitCode;
    return ERROR_SUCCESS;
  }
  // The group first (grandchildren), then the child itself in case it left its group.
  ::kill(-pid_, SIGKILL);
  SendKill();
  ReapIfEnded(true);
  dwExitCode_ = dwExitCode;
  return ERROR_SUCCESS;
}

}  // namespace platform
