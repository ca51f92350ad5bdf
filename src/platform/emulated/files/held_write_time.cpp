// The held write time of files being written: see held_write_time.h. Every step is best effort:
// a step the host refuses leaves a state that still shows the fixed write time, or, when the mark
// cannot be set at all, falls back to putting the fixed times back after each write.
#include "platform/emulated/files/held_write_time.h"

#include <fcntl.h>

#include "platform/emulated/files/file_times.h"

namespace platform::emulated {
namespace {

constexpr timespec kOmit = {0, UTIME_OMIT};

bool SameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// Reads through fd leave the access time, which holds the write time, alone.
void KeepAccessTimeOnRead(int fd) {
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags | O_NOATIME);
}

}  // namespace

ShownTimes ShownHostTimes(const struct stat& st) {
  if (HoldsWriteTime(st)) {
    const uint64_t ftHeld = FileTimeOfTimespec(st.st_atim);
    return {ftHeld, ftHeld};
  }
  return {FileTimeOfTimespec(st.st_atim), FileTimeOfTimespec(st.st_mtim)};
}

const timespec& ShownWriteTimespec(const struct stat& st) {
  return HoldsWriteTime(st) ? st.st_atim : st.st_mtim;
}

void TakeOverHeldWriteTime(int fd, struct stat& st, bool bCanWrite, bool bTruncated) {
  if (!HoldsWriteTime(st)) return;
  if (!bCanWrite) {
    KeepAccessTimeOnRead(fd);
    return;
  }
  if (!bTruncated) {
    const timespec held[2] = {st.st_atim, st.st_atim};
    if (::futimens(fd, held) != 0) return;
    st.st_mtim = st.st_atim;
  }
  const mode_t mode = st.st_mode & 07777 & ~kHeldWriteTimeMark;
  if (::fchmod(fd, mode) == 0) st.st_mode = (st.st_mode & ~07777) | mode;
}

void HandleTimes::Opened(const struct stat& st) {
  mode_ = st.st_mode & 07777 & ~kHeldWriteTimeMark;
  openedAccess_ = st.st_atim;
}

const timespec& HandleTimes::FinalAccessTime() const {
  return fixed_[0].tv_nsec != UTIME_OMIT ? fixed_[0] : openedAccess_;
}

// Unmarked, the host takes the times as given; marked, both of its times are the fixed write time,
// the access time being where readers look.
bool HandleTimes::Set(int fd, const timespec (&ts)[2]) {
  timespec fixed[2] = {fixed_[0], fixed_[1]};
  for (int i = 0; i < 2; ++i)
    if (ts[i].tv_nsec != UTIME_OMIT) fixed[i] = ts[i];
  if (bMarked_) {
    const timespec held[2] = {fixed[1], fixed[1]};
    if (::futimens(fd, held) != 0) return false;
    bWrittenSinceSet_ = false;
  } else if (::futimens(fd, ts) != 0) {
    return false;
  }
  fixed_[0] = fixed[0];
  fixed_[1] = fixed[1];
  return true;
}

// The access time takes the write time before the mark is set, so that both states in between
// show it.
void HandleTimes::BeforeWrite(int fd, bool bCanRead) {
  bWrittenSinceSet_ = true;
  if (bMarked_ || bMarkRefused_ || !WriteTimeFixed()) return;
  if (!SameTime(FinalAccessTime(), fixed_[1])) {
    const timespec held[2] = {fixed_[1], kOmit};
    if (::futimens(fd, held) != 0) return;
  }
  if (::fchmod(fd, mode_ | kHeldWriteTimeMark) != 0) {
    bMarkRefused_ = true;  // a file of another owner: AfterWrite puts the times back each time
    return;
  }
  if (bCanRead) KeepAccessTimeOnRead(fd);
  bMarked_ = true;
}

void HandleTimes::AfterWrite(int fd) {
  if (!bMarked_ && WriteTimeFixed()) ::futimens(fd, fixed_);  // the mark could not be set
}

// The write time goes back first (readers still look at the access time), then the mark (readers
// now look at the write time), then the access time takes its own value.
void HandleTimes::Release(int fd) {
  if (!bMarked_) return;
  if (bWrittenSinceSet_) {
    const timespec written[2] = {kOmit, fixed_[1]};
    if (::futimens(fd, written) != 0) return;  // still marked: readers see the held time
  }
  if (::fchmod(fd, mode_) != 0) return;
  bMarked_ = false;
  if (!SameTime(FinalAccessTime(), fixed_[1])) {
    const timespec access[2] = {FinalAccessTime(), kOmit};
    ::futimens(fd, access);
  }
}

}  // namespace platform::emulated
