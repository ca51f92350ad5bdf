// The shared change counter: a MAP_SHARED mapping of an eight-byte file, read and bumped with
// atomic operations, so that processes on one host see each other's bumps at once.
#include "platform/emulated/registry/change_counter.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::emulated {

ChangeCounter::ChangeCounter(const std::string& file) {
  const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return;
  struct stat st {};
  const bool bSized =
      ::fstat(fd, &st) == 0 && (st.st_size >= static_cast<off_t>(sizeof(uint64_t)) ||
                                ::ftruncate(fd, sizeof(uint64_t)) == 0);
  void* pMap = bSized ? ::mmap(nullptr, sizeof(uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0)
                      : MAP_FAILED;
  ::close(fd);  // the mapping stays valid without the descriptor
  if (pMap != MAP_FAILED) m_pValue = static_cast<uint64_t*>(pMap);
}

ChangeCounter::~ChangeCounter() {
  if (m_pValue) ::munmap(m_pValue, sizeof(uint64_t));
}

uint64_t ChangeCounter::Read() const {
  return m_pValue ? __atomic_load_n(m_pValue, __ATOMIC_ACQUIRE) : 0;
}

uint64_t ChangeCounter::Bump() {
  return m_pValue ? __atomic_fetch_add(m_pValue, 1, __ATOMIC_ACQ_REL) : 0;
}

}  // namespace platform::emulated
