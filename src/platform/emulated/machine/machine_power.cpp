// The power request file: "key=value" lines (action, force, reason, delay, message with "\n" and
// "\\" escaped). It is written to a temporary name and linked into place, so a reader never sees
// half a request and of two concurrent requests exactly one wins.
#include "platform/emulated/machine/machine_power.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/emulated/machine/host_errno.h"
#include "platform/win_error.h"

namespace platform {
namespace {

constexpr std::array<std::pair<PowerAction, std::string_view>, 4> kActionNames{{
    {PowerAction::LogOff, "logoff"},
    {PowerAction::Shutdown, "shutdown"},
    {PowerAction::PowerOff, "poweroff"},
    {PowerAction::Restart, "restart"},
}};

PowerAction ActionOfFlags(uint32_t uFlags) {
  if (uFlags & EWX_POWEROFF) return PowerAction::PowerOff;
  if (uFlags & EWX_REBOOT) return PowerAction::Restart;
  if (uFlags & EWX_SHUTDOWN) return PowerAction::Shutdown;
  return PowerAction::LogOff;
}

std::string EscapeLine(std::string_view text) {
  std::string escaped;
  for (char c : text) {
    if (c == '\\')
      escaped += "\\\\";
    else if (c == '\n')
      escaped += "\\n";
    else if (c == '\r')
      escaped += "\\r";
    else
      escaped += c;
  }
  return escaped;
}

std::string UnescapeLine(std::string_view text) {
  std::string plain;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      plain += text[i];
      continue;
    }
    const char c = text[++i];
    plain += c == 'n' ? '\n' : c == 'r' ? '\r' : c;
  }
  return plain;
}

std::string FormatRequest(const PowerRequest& request) {
  std::string_view action;
  for (const auto& [value, name] : kActionNames)
    if (value == request.action) action = name;
  char reason[16];
  std::snprintf(reason, sizeof(reason), "0x%08X", request.dwReason);
  return "action=" + std::string(action) + "\nforce=" + (request.bForce ? "1" : "0") +
         "\nreason=" + reason + "\ndelay=" + std::to_string(request.nDelaySeconds) +
         "\nmessage=" + EscapeLine(request.message) + "\n";
}

uint32_t ParseNumber(std::string_view text) {
  return static_cast<uint32_t>(std::strtoul(std::string(text).c_str(), nullptr, 0));
}

void ApplyField(std::string_view key, std::string_view value, PowerRequest& request) {
  if (key == "action") {
    for (const auto& [action, name] : kActionNames)
      if (name == value) request.action = action;
  } else if (key == "force") {
    request.bForce = value == "1";
  } else if (key == "reason") {
    request.dwReason = ParseNumber(value);
  } else if (key == "delay") {
    request.nDelaySeconds = ParseNumber(value);
  } else if (key == "message") {
    request.message = UnescapeLine(value);
  }
}

bool ParseRequest(std::string_view text, PowerRequest& request) {
  request = {};
  while (!text.empty()) {
    const size_t nEnd = text.find('\n');
    const std::string_view line = text.substr(0, nEnd);
    const size_t nEqual = line.find('=');
    if (nEqual != std::string_view::npos)
      ApplyField(line.substr(0, nEqual), line.substr(nEqual + 1), request);
    text = nEnd == std::string_view::npos ? std::string_view() : text.substr(nEnd + 1);
  }
  return request.action != PowerAction::None;
}

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    text.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

uint32_t ReadFile(const std::string& path, std::string& text) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return WinErrorFromErrno(errno);
  char buffer[4096];
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof(buffer))) > 0 || (n < 0 && errno == EINTR))
    if (n > 0) text.append(buffer, static_cast<size_t>(n));
  const int err = n < 0 ? errno : 0;
  ::close(fd);
  return err ? ERROR_READ_FAULT : ERROR_SUCCESS;
}

}  // namespace

MachinePower::MachinePower(std::string recordFile) : recordFile_(std::move(recordFile)) {}

uint32_t MachinePower::ExitWindows(uint32_t uFlags, uint32_t dwReason) {
  PowerRequest request;
  request.action = ActionOfFlags(uFlags);
  request.bForce = (uFlags & (EWX_FORCE | EWX_FORCEIFHUNG)) != 0;
  request.dwReason = dwReason;
  return Record(request);
}

uint32_t MachinePower::InitiateSystemShutdown(const std::string& message, uint32_t nTimeoutSeconds,
                                              bool bForceAppsClosed, bool bRebootAfterShutdown,
                                              uint32_t dwReason) {
  return Record({bRebootAfterShutdown ? PowerAction::Restart : PowerAction::Shutdown,
                 bForceAppsClosed, dwReason, nTimeoutSeconds, message});
}

uint32_t MachinePower::Record(const PowerRequest& request) {
  std::string tempFile = recordFile_ + ".XXXXXX";
  const int fd = ::mkostemp(tempFile.data(), O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? ERROR_PATH_NOT_FOUND : WinErrorFromErrno(errno);
  const bool bWritten = WriteAll(fd, FormatRequest(request));
  uint32_t err = ::close(fd) == 0 && bWritten ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
  if (err == ERROR_SUCCESS && ::link(tempFile.c_str(), recordFile_.c_str()) < 0)
    err = errno == EEXIST ? ERROR_SHUTDOWN_IN_PROGRESS : WinErrorFromErrno(errno);
  ::unlink(tempFile.c_str());
  return err;
}

uint32_t MachinePower::GetPowerRequest(PowerRequest& request) {
  request = {};
  std::string text;
  const uint32_t err = ReadFile(recordFile_, text);
  if (err == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
  if (err != ERROR_SUCCESS) return err;
  return ParseRequest(text, request) ? ERROR_SUCCESS : ERROR_INVALID_DATA;
}

uint32_t MachinePower::ClearPowerRequest() {
  if (::unlink(recordFile_.c_str()) < 0 && errno != ENOENT) return WinErrorFromErrno(errno);
  return ERROR_SUCCESS;
}

}  // namespace platform
