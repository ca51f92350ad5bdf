// The run-time state of the emulated machine's services, shared by every engine process on the
// machine: one small file per started service in the machine's services/ folder (outside the
// registry and drive_c, so that `winmachine diff` never sees it). A file names the process that
// runs the service by id and start time (process_signal.h), or says that a driver runs, or that
// an engine process is starting the service right now; no file means stopped. A file whose process
// has ended is stale: reading it removes it, so a service whose program ended reads as stopped
// without anyone having watched it end.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace platform::emulated {

struct ServiceRunRecord {
  enum class Kind { Stopped, Starting, Process, Driver };
  Kind kind = Kind::Stopped;
  uint32_t dwProcessId = 0;  // the service's process; for Starting the engine process starting it
  uint64_t nStartTime = 0;   // of that process
  bool bStopRequested = false;
};

class ServiceRunStates {
 public:
  explicit ServiceRunStates(std::string directory) : dir_(std::move(directory)) {}

  // The service's record (names compare without regard to case); Stopped when there is none or
  // its process has ended, in which case the file is removed.
  ServiceRunRecord Read(const std::string& name) const;
  // Creates the record "Starting" for this engine process, unless a live record is there:
  // ERROR_SERVICE_ALREADY_RUNNING then. Two engines starting one service race for the file.
  uint32_t ClaimStart(const std::string& name) const;
  // Replaces the record whole (a reader never sees half of it).
  uint32_t Write(const std::string& name, const ServiceRunRecord& record) const;
  void Remove(const std::string& name) const;
  // Every live record's process, and removes every record: what a restart does to them.
  std::vector<ServiceRunRecord> TakeAll() const;

 private:
  std::string PathOf(const std::string& name) const;
  ServiceRunRecord ReadFile(const std::string& path) const;

  std::string dir_;
};

}  // namespace platform::emulated
