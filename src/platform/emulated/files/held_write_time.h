// The write time a handle fixed (SetFileTime), kept as the time every reader sees while writes go
// on, and after the writer died part-way.
//
// Windows keeps a write time set through a handle across the handle's later writes; on Linux each
// write sets the file's modification time to now. Putting the fixed time back after every write
// leaves a gap: a process killed inside a write leaves the current time behind, and a partial
// copy stamped as unfinished then looks finished to the next run. So, before the first write after
// its write time was fixed, a handle keeps that time in the file's access time (which writes do not
// change) and marks the host file with S_ISVTX, which every stat returns and which means nothing
// for a regular file on Linux. Readers take the access time as the write and access time of a
// marked regular file (ShownHostTimes). When the handle closes, the fixed times become the host's
// own and the mark goes, in an order that shows the fixed write time at every step. A handle that
// may write and finds a mark left by a writer that died settles it the same way at once.
//
// A file whose times are fixed after its only write is never marked and costs no system call more.
// A read of a marked file may move its access time (relatime), so our own handles read a marked
// file with O_NOATIME where the host lets them; a host tool reading a partial file can still move
// it.
#pragma once
#include <sys/stat.h>
#include <time.h>

#include <cstdint>

namespace platform::emulated {

inline constexpr mode_t kHeldWriteTimeMark = S_ISVTX;

inline bool HoldsWriteTime(const struct stat& st) {
  return S_ISREG(st.st_mode) && (st.st_mode & kHeldWriteTimeMark);
}

struct ShownTimes {
  uint64_t ftLastAccessTime = 0;
  uint64_t ftLastWriteTime = 0;
};

// The access and write times of a host entry as Windows readers see them.
ShownTimes ShownHostTimes(const struct stat& st);
// The write time alone, as the host keeps it.
const timespec& ShownWriteTimespec(const struct stat& st);

// Opening a file that holds a write time: a handle that may write settles the mark (the held time
// becomes the host's write time, or the file's emptying time when bTruncated, and the mark goes;
// st then shows the file as it is), a handle that only reads does so without moving the access
// time. Best effort: a file that keeps its mark still shows the held time.
void TakeOverHeldWriteTime(int fd, struct stat& st, bool bCanWrite, bool bTruncated);

// The times fixed through one handle, and whether its host file carries the mark.
class HandleTimes {
 public:
  // The file's permissions (without the mark) and access time as the handle found them.
  void Opened(const struct stat& st);
  // SetFileTime: ts as futimens takes them, UTIME_OMIT for a time not set.
  bool Set(int fd, const timespec (&ts)[2]);
  // Around every write or truncation through the handle.
  void BeforeWrite(int fd, bool bCanRead);
  void AfterWrite(int fd);
  // The read-only attribute changed the file's permissions while the handle is open.
  void PermissionsChanged(mode_t mode) { mode_ = mode & 07777 & ~kHeldWriteTimeMark; }
  // When the handle closes: the host keeps the fixed times, without the mark.
  void Release(int fd);

 private:
  bool WriteTimeFixed() const { return fixed_[1].tv_nsec != UTIME_OMIT; }
  // The access time the host is to keep once the mark goes.
  const timespec& FinalAccessTime() const;

  timespec fixed_[2] = {{0, UTIME_OMIT}, {0, UTIME_OMIT}};
  timespec openedAccess_{};
  mode_t mode_ = 0;
  bool bMarked_ = false;
  bool bMarkRefused_ = false;
  bool bWrittenSinceSet_ = false;  // the host's write time is now rather than the fixed one
};

}  // namespace platform::emulated
