// Each piece of text is written with one append (O_APPEND), so that lines of several engine
// processes writing to the same file do not interleave within a line.
#include "platform/emulated/machine/host_debugger_output.h"

#include <fcntl.h>
#include <syslog.h>
#include <unistd.h>

#include <string_view>

#include "platform/code_page.h"

namespace platform::emulated {
namespace {

void WriteAll(int fd, const std::string& bytes) {
  size_t nDone = 0;
  while (nDone < bytes.size()) {
    const ssize_t nWritten = ::write(fd, bytes.data() + nDone, bytes.size() - nDone);
    if (nWritten <= 0) return;  // a listener that fails loses the text, as on Windows
    nDone += static_cast<size_t>(nWritten);
  }
}

void AppendToFile(const std::string& hostFile, const std::string& bytes) {
  const int fd = ::open(hostFile.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return;
  WriteAll(fd, bytes);
  ::close(fd);
}

// The system log takes lines: each non-empty line of the text is one entry.
void SendToSystemLog(std::string_view text) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) {
      const std::string line(text.substr(start, end - start));
      ::syslog(LOG_USER | LOG_DEBUG, "%s", line.c_str());
    }
    start = end + 1;
  }
}

}  // namespace

bool HostDebuggerOutput::Configure(const std::vector<std::string>& hostVariables,
                                   std::string& error) {
  const std::string prefix = std::string(kDebugOutputVariable) + "=";
  std::string value;
  for (const std::string& entry : hostVariables)
    if (entry.compare(0, prefix.size(), prefix) == 0) value = entry.substr(prefix.size());
  target_ = Target::None;
  hostFile_.clear();
  if (value.empty()) return true;
  if (value == "stderr") {
    target_ = Target::StandardError;
  } else if (value == "syslog") {
    target_ = Target::SystemLog;
  } else if (value.compare(0, 5, "file:") == 0 && value.size() > 5) {
    target_ = Target::File;
    hostFile_ = value.substr(5);
  } else {
    error = std::string(kDebugOutputVariable) + ": unknown debugger output '" + value +
            "' (stderr, syslog or file:<host path>)";
    return false;
  }
  return true;
}

void HostDebuggerOutput::OutputDebugString(const std::string& text) {
  switch (target_) {
    case Target::None:
      return;
    case Target::StandardError:
      WriteAll(STDERR_FILENO, AnsiToUtf8(text));
      return;
    case Target::SystemLog:
      SendToSystemLog(AnsiToUtf8(text));
      return;
    case Target::File:
      AppendToFile(hostFile_, AnsiToUtf8(text));
      return;
  }
}

}  // namespace platform::emulated
