// posix_spawn with its attribute and file-action objects held by small owners, so that each
// failure on the way frees what was set up.
#include "platform/emulated/processes/process_spawn.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>

#include "platform/emulated/machine/host_errno.h"
#include "platform/win_error.h"

namespace platform {
namespace {

class SpawnActions {
 public:
  SpawnActions() { nInitError_ = ::posix_spawn_file_actions_init(&actions_); }
  ~SpawnActions() {
    if (nInitError_ == 0) ::posix_spawn_file_actions_destroy(&actions_);
  }
  int Set(const std::string& directory, bool bDetached) {
    if (nInitError_ != 0) return nInitError_;
    if (const int err = ::posix_spawn_file_actions_addchdir_np(&actions_, directory.c_str()))
      return err;
    for (int fd = 0; bDetached && fd <= 2; ++fd)
      if (const int err = ::posix_spawn_file_actions_addopen(&actions_, fd, "/dev/null",
                                                             fd == 0 ? O_RDONLY : O_WRONLY, 0))
        return err;
    return ::posix_spawn_file_actions_addclosefrom_np(&actions_, 3);
  }
  const posix_spawn_file_actions_t* Get() const { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_{};
  int nInitError_ = 0;
};

class SpawnAttributes {
 public:
  SpawnAttributes() { nInitError_ = ::posix_spawnattr_init(&attr_); }
  ~SpawnAttributes() {
    if (nInitError_ == 0) ::posix_spawnattr_destroy(&attr_);
  }
  int Set(bool bDetached) {
    if (nInitError_ != 0) return nInitError_;
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    sigdelset(&all, SIGKILL);
    sigdelset(&all, SIGSTOP);
    // A new session also makes the child the leader of a new process group.
    const short nFlags = (bDetached ? POSIX_SPAWN_SETSID : POSIX_SPAWN_SETPGROUP) |
                         POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    if (const int err = ::posix_spawnattr_setflags(&attr_, nFlags)) return err;
    if (!bDetached)
      if (const int err = ::posix_spawnattr_setpgroup(&attr_, 0)) return err;
    if (const int err = ::posix_spawnattr_setsigmask(&attr_, &none)) return err;
    return ::posix_spawnattr_setsigdefault(&attr_, &all);
  }
  const posix_spawnattr_t* Get() const { return &attr_; }

 private:
  posix_spawnattr_t attr_{};
  int nInitError_ = 0;
};

// posix_spawn takes non-const pointers but does not write through them.
std::vector<char*> PointersOf(const std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  pointers.reserve(strings.size() + 1);
  for (const std::string& s : strings) pointers.push_back(const_cast<char*>(s.c_str()));
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

uint32_t SpawnProcess(const SpawnRequest& request, pid_t& pid) {
  if (request.argv.empty()) return ERROR_INVALID_PARAMETER;
  SpawnActions actions;
  SpawnAttributes attributes;
  if (const int err = actions.Set(request.directory, request.bDetached))
    return WinErrorFromErrno(err);
  if (const int err = attributes.Set(request.bDetached)) return WinErrorFromErrno(err);
  const std::vector<char*> argv = PointersOf(request.argv);
  const std::vector<char*> envp = PointersOf(request.environment);
  return WinErrorFromErrno(
      ::posix_spawn(&pid, argv[0], actions.Get(), attributes.Get(), argv.data(), envp.data()));
}

}  // namespace platform
