// One "Key=value" line per field in each record; a file is written beside its place and renamed
// over it. File names are the service names in lower case with every byte outside [a-z0-9_.-]
// written as %XX, so that any ANSI service name has one plain host file name.
#include "platform/emulated/services/service_run_state.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "platform/ansi_case.h"
#include "platform/emulated/machine/host_errno.h"
#include "platform/emulated/processes/process_signal.h"
#include "platform/services.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

namespace fs = std::filesystem;

std::string FileNameOf(const std::string& name) {
  std::string file;
  for (const char c : AnsiLower(name)) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '_' || b == '-' ||
        (b == '.' && !file.empty())) {
      file += c;
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof(escaped), "%%%02X", b);
      file += escaped;
    }
  }
  return file;
}

std::string RecordText(const ServiceRunRecord& record) {
  using Kind = ServiceRunRecord::Kind;
  std::ostringstream text;
  text << "State="
       << (record.kind == Kind::Starting ? "Starting"
           : record.kind == Kind::Driver ? "Driver"
                                         : "Process")
       << "\nProcessId=" << record.dwProcessId << "\nStartTime=" << record.nStartTime
       << "\nStopRequested=" << (record.bStopRequested ? 1 : 0) << "\n";
  return text.str();
}

bool IsLive(const ServiceRunRecord& record) {
  switch (record.kind) {
    case ServiceRunRecord::Kind::Driver:
      return true;
    case ServiceRunRecord::Kind::Starting:
    case ServiceRunRecord::Kind::Process:
      return IsSameProcessRunning(record.dwProcessId, record.nStartTime);
    default:
      return false;
  }
}

}  // namespace

std::string ServiceRunStates::PathOf(const std::string& name) const {
  return dir_ + "/" + FileNameOf(name);
}

ServiceRunRecord ServiceRunStates::ReadFile(const std::string& path) const {
  ServiceRunRecord record;
  std::ifstream file(path);
  for (std::string line; std::getline(file, line);) {
    const size_t nEquals = line.find('=');
    if (nEquals == std::string::npos) continue;
    const std::string key = line.substr(0, nEquals);
    const std::string value = line.substr(nEquals + 1);
    if (key == "State")
      record.kind = value == "Starting" ? ServiceRunRecord::Kind::Starting
                    : value == "Driver" ? ServiceRunRecord::Kind::Driver
                                        : ServiceRunRecord::Kind::Process;
    else if (key == "ProcessId")
      record.dwProcessId = static_cast<uint32_t>(std::strtoul(value.c_str(), nullptr, 10));
    else if (key == "StartTime")
      record.nStartTime = std::strtoull(value.c_str(), nullptr, 10);
    else if (key == "StopRequested")
      record.bStopRequested = value == "1";
  }
  return record;
}

ServiceRunRecord ServiceRunStates::Read(const std::string& name) const {
  const std::string path = PathOf(name);
  if (::access(path.c_str(), F_OK) != 0) return {};
  ServiceRunRecord record = ReadFile(path);
  if (IsLive(record)) return record;
  ::unlink(path.c_str());
  return {};
}

uint32_t ServiceRunStates::ClaimStart(const std::string& name) const {
  std::error_code ec;
  fs::create_directories(dir_, ec);
  const std::string path = PathOf(name);
  ServiceRunRecord claim;
  claim.kind = ServiceRunRecord::Kind::Starting;
  claim.dwProcessId = static_cast<uint32_t>(::getpid());
  claim.nStartTime = ProcessStartTime(claim.dwProcessId);
  // Written whole beside its place, then linked there: link() fails when the place is taken, so
  // the claim is exclusive and no reader ever sees it half written.
  const std::string temporary = path + ".claim." + std::to_string(claim.dwProcessId);
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file << RecordText(claim);
    if (!file.flush()) {
      ::unlink(temporary.c_str());
      return ERROR_WRITE_FAULT;
    }
  }
  uint32_t dwResult = ERROR_SERVICE_ALREADY_RUNNING;
  for (int nTry = 0; nTry < 2; ++nTry) {
    if (::link(temporary.c_str(), path.c_str()) == 0) {
      dwResult = ERROR_SUCCESS;
      break;
    }
    if (errno != EEXIST) {
      dwResult = WinErrorFromErrno(errno);
      break;
    }
    if (Read(name).kind != ServiceRunRecord::Kind::Stopped) break;  // removes a stale record
  }
  ::unlink(temporary.c_str());
  return dwResult;
}

uint32_t ServiceRunStates::Write(const std::string& name, const ServiceRunRecord& record) const {
  std::error_code ec;
  fs::create_directories(dir_, ec);
  const std::string path = PathOf(name);
  const std::string temporary = path + ".new." + std::to_string(::getpid());
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file << RecordText(record);
    if (!file.flush()) return ERROR_WRITE_FAULT;
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    const int nErrno = errno;
    ::unlink(temporary.c_str());
    return WinErrorFromErrno(nErrno);
  }
  return ERROR_SUCCESS;
}

void ServiceRunStates::Remove(const std::string& name) const {
  ::unlink(PathOf(name).c_str());
}

std::vector<ServiceRunRecord> ServiceRunStates::TakeAll() const {
  std::vector<ServiceRunRecord> live;
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir_, ec)) {
    const std::string path = entry.path().string();
    if (path.find(".new.") != std::string::npos || path.find(".claim.") != std::string::npos)
      continue;
    const ServiceRunRecord record = ReadFile(path);
    if (IsLive(record)) live.push_back(record);
    ::unlink(path.c_str());
  }
  return live;
}

}  // namespace platform::emulated
