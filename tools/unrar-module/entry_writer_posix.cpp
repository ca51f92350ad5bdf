// Safe extraction of one entry on POSIX systems, with openat/mkdirat/renameat relative to
// directory descriptors: a path string is never resolved as a whole, so a symbolic link in the
// destination (placed by an earlier entry or already there) stops the entry with ERAR_ECREATE
// instead of being followed.
#include "entry_writer.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>
#include <vector>

#include "archive/unrar_api.h"

namespace unrar_module {
namespace {

// Closes a descriptor when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  void Reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  int Get() const { return fd_; }
  int Release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

int OpenDestination(const std::string& destDir) {
  std::string path;
  for (size_t i = 0; i < destDir.size(); ++i) {  // create the destination itself as needed
    if (destDir[i] == '/' && i > 0) ::mkdir(path.c_str(), 0755);
    path += destDir[i];
  }
  ::mkdir(destDir.c_str(), 0755);
  return ::open(destDir.empty() ? "." : destDir.c_str(), O_DIRECTORY | O_RDONLY | O_CLOEXEC);
}

// Opens (creating when missing) the directory `name` inside dirFd, refusing symbolic links.
int EnterDirectory(int dirFd, const std::string& name) {
  if (::mkdirat(dirFd, name.c_str(), 0755) != 0 && errno != EEXIST) return -1;
  return ::openat(dirFd, name.c_str(), O_DIRECTORY | O_NOFOLLOW | O_RDONLY | O_CLOEXEC);
}

// Writes the blocks of the entry's data at their offsets of fd.
BlockWriter WriterTo(int fd) {
  return [fd](int64_t nOffset, const char* p, size_t nBlock) {
    if (::lseek(fd, nOffset, SEEK_SET) < 0) return false;
    while (nBlock > 0) {
      const ssize_t n = ::write(fd, p, nBlock);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      p += n;
      nBlock -= static_cast<size_t>(n);
    }
    return true;
  };
}

int WriteFileIn(int dirFd, const std::string& name, struct archive* pArchive,
                struct archive_entry* pEntry, std::optional<uint32_t> nDataCrc) {
  const std::string temp = "." + name + ".tarvium-part";
  ::unlinkat(dirFd, temp.c_str(), 0);
  Descriptor file(
      ::openat(dirFd, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
  if (file.Get() < 0) return ERAR_ECREATE;
  int result = CopyEntryData(pArchive, WriterTo(file.Get()), nDataCrc);
  if (result == ERAR_SUCCESS && archive_entry_mtime_is_set(pEntry)) {
    const struct timespec times[2] = {
        {0, UTIME_OMIT}, {archive_entry_mtime(pEntry), archive_entry_mtime_nsec(pEntry)}};
    ::futimens(file.Get(), times);
  }
  if (::close(file.Release()) != 0 && result == ERAR_SUCCESS) result = ERAR_ECLOSE;
  if (result == ERAR_SUCCESS && ::renameat(dirFd, temp.c_str(), dirFd, name.c_str()) != 0)
    result = ERAR_ECREATE;
  if (result != ERAR_SUCCESS) ::unlinkat(dirFd, temp.c_str(), 0);
  return result;
}

// The folder the walk is in, as a descriptor: each step opens the next one relative to it.
class PosixDestination final : public EntryDestination {
 public:
  explicit PosixDestination(int fd) : dir_(fd) {}
  bool EnterFolder(const std::string& name) override {
    dir_.Reset(EnterDirectory(dir_.Get(), name));
    return dir_.Get() >= 0;
  }
  int WriteFile(const std::string& name, struct archive* pArchive, struct archive_entry* pEntry,
                std::optional<uint32_t> nDataCrc) override {
    return WriteFileIn(dir_.Get(), name, pArchive, pEntry, nDataCrc);
  }

 private:
  Descriptor dir_;
};

}  // namespace

std::unique_ptr<EntryDestination> OpenEntryDestination(const std::string& destDir) {
  const int fd = OpenDestination(destDir);
  if (fd < 0) return nullptr;
  return std::make_unique<PosixDestination>(fd);
}

}  // namespace unrar_module
