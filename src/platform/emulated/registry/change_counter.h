// A count of the name changes (renames and deletes) made on one machine, shared by every process
// that works on it: eight bytes in a small file of the machine directory, mapped into each
// process's memory so that reading it costs no system call. A process's path cache compares it
// with the value it last saw and starts afresh when another process changed names in between.
#pragma once
#include <cstdint>
#include <string>

namespace platform::emulated {

class ChangeCounter {
 public:
  // Maps `file`, creating it when missing.
  explicit ChangeCounter(const std::string& file);
  ~ChangeCounter();
  ChangeCounter(const ChangeCounter&) = delete;
  ChangeCounter& operator=(const ChangeCounter&) = delete;

  // False when the file could not be mapped (a read-only machine directory): then nobody can be
  // told of changes, and a cached answer must be checked on the host before it is used.
  bool IsShared() const { return m_pValue != nullptr; }
  uint64_t Read() const;
  // Counts one change; returns the value it had before.
  uint64_t Bump();

 private:
  uint64_t* m_pValue = nullptr;
};

}  // namespace platform::emulated
