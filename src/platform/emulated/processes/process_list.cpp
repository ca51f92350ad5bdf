// Reading /proc: comm, cmdline and the exe link of each numeric entry, combined by the naming rule
// of the header. Processes come and go while the directory is read; one that vanishes midway is
// simply not listed.
#include "platform/emulated/processes/process_list.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "platform/ansi_case.h"
#include "platform/code_page.h"
#include "platform/module_name_match.h"

namespace platform {
namespace {

std::string ReadProcFile(pid_t pid, const char* pszName) {
  const std::string path = "/proc/" + std::to_string(pid) + "/" + pszName;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  std::string text;
  char buffer[4096];
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof(buffer))) > 0 || (n < 0 && errno == EINTR))
    if (n > 0) text.append(buffer, static_cast<size_t>(n));
  ::close(fd);
  return text;
}

std::string_view BaseName(std::string_view path) {
  const size_t nSeparator = path.find_last_of("/\\");
  return nSeparator == std::string_view::npos ? path : path.substr(nSeparator + 1);
}

std::string ExeBaseName(pid_t pid) {
  const std::string link = "/proc/" + std::to_string(pid) + "/exe";
  char target[4096];
  const ssize_t n = ::readlink(link.c_str(), target, sizeof(target));
  if (n <= 0 || static_cast<size_t>(n) >= sizeof(target)) return {};
  std::string_view path(target, static_cast<size_t>(n));
  if (path.ends_with(" (deleted)")) path.remove_suffix(10);
  return std::string(BaseName(path));
}

std::string ModuleNameFrom(const std::string& exeName, std::string_view comm,
                           std::string_view cmdline) {
  if (!exeName.empty() && exeName.starts_with(comm)) return exeName;
  while (!cmdline.empty()) {
    const size_t nEnd = cmdline.find('\0');
    const std::string_view arg = BaseName(cmdline.substr(0, nEnd));
    if (!comm.empty() && arg.starts_with(comm)) return std::string(arg);
    cmdline = nEnd == std::string_view::npos ? std::string_view() : cmdline.substr(nEnd + 1);
  }
  return std::string(comm);
}

}  // namespace

bool ModuleNameOfProcess(pid_t pid, std::string& moduleName) {
  const std::string cmdline = ReadProcFile(pid, "cmdline");
  std::string comm = ReadProcFile(pid, "comm");
  if (cmdline.empty() || comm.empty()) return false;
  if (comm.back() == '\n') comm.pop_back();
  moduleName = Utf8ToAnsi(ModuleNameFrom(ExeBaseName(pid), comm, cmdline));
  return true;
}

void ListHostProcesses(std::vector<ProcessEntry>& entries) {
  entries.clear();
  DIR* dir = ::opendir("/proc");
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir)) {
    if (!std::isdigit(static_cast<unsigned char>(entry->d_name[0]))) continue;
    const pid_t pid = static_cast<pid_t>(std::strtol(entry->d_name, nullptr, 10));
    std::string moduleName;
    if (ModuleNameOfProcess(pid, moduleName))
      entries.push_back({static_cast<uint32_t>(pid), std::move(moduleName)});
  }
  ::closedir(dir);
}

uint32_t ParentProcessId() {
  return static_cast<uint32_t>(::getppid());
}

}  // namespace platform
