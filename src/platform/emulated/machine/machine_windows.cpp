// Each process's windows are one file, rewritten whole through a temporary file renamed into
// place, so that a reader never sees half a list. A handle is the process id in its high half and
// the window's position in the file (from 1) in its low half; a closed window keeps its line, so
// the handles of a program's other windows stay valid while a caller goes through them.
#include "platform/emulated/machine/machine_windows.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/code_page.h"
#include "platform/emulated/machine/host_errno.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

// The start time of a running process, empty when it has ended (a zombie counts as ended: it is
// only waiting for its parent to read its status).
std::string StartTimeOf(uint32_t dwProcessId) {
  std::ifstream in("/proc/" + std::to_string(dwProcessId) + "/stat");
  std::string stat;
  if (!std::getline(in, stat)) return {};
  const size_t nClose = stat.rfind(')');
  if (nClose == std::string::npos) return {};
  std::istringstream fields(stat.substr(nClose + 1));
  std::string state, field;
  fields >> state;
  if (state == "Z" || state == "X") return {};
  // The start time is the 22nd field of the line; the state was its 3rd.
  for (int i = 4; i <= 22 && fields >> field; ++i) {
  }
  return fields ? field : std::string();
}

template <class Windows>
bool HasOpenWindow(const Windows& windows) {
  return std::any_of(windows.begin(), windows.end(), [](const auto& w) { return !w.bClosed; });
}

WindowHandle HandleOf(uint32_t dwProcessId, size_t nIndex) {
  return static_cast<WindowHandle>(uint64_t{dwProcessId} << 32 | (nIndex + 1));
}

// Whether a process can own windows: not the host's init, whose process group -1 would stand for
// every process of the host.
bool CanOwnWindows(uint32_t dwProcessId) {
  return dwProcessId > 1 && dwProcessId <= static_cast<uint32_t>(INT32_MAX);
}

// Ends the process, with its process group when it leads one (a program started by the machine
// does), so that what it started goes with it.
void SignalProgram(uint32_t dwProcessId, int nSignal) {
  if (!CanOwnWindows(dwProcessId)) return;
  const pid_t pid = static_cast<pid_t>(dwProcessId);
  ::kill(::getpgid(pid) == pid ? -pid : pid, nSignal);
}

}  // namespace

std::string MachineWindows::FileOf(uint32_t dwProcessId) const {
  return hostDir_ + "/" + std::to_string(dwProcessId);
}

std::vector<MachineWindows::Window> MachineWindows::WindowsOf(uint32_t dwProcessId) {
  std::ifstream in(FileOf(dwProcessId));
  std::string startTime;
  if (!in || !std::getline(in, startTime)) return {};
  if (startTime.empty() || startTime != StartTimeOf(dwProcessId)) {
    in.close();
    std::remove(FileOf(dwProcessId).c_str());
    return {};
  }
  std::vector<Window> windows;
  for (std::string line; std::getline(in, line);)
    if (line.size() >= 2 && line[1] == '\t')
      windows.push_back({Utf8ToAnsi(line.substr(2)), line[0] != '0', line[0] == '-'});
  return windows;
}

uint32_t MachineWindows::WriteWindowsOf(uint32_t dwProcessId, const std::vector<Window>& windows) {
  const std::string file = FileOf(dwProcessId);
  const std::string startTime = StartTimeOf(dwProcessId);
  if (startTime.empty() || !HasOpenWindow(windows)) {
    if (std::remove(file.c_str()) != 0 && errno != ENOENT) return WinErrorFromErrno(errno);
    return ERROR_SUCCESS;
  }
  if (::mkdir(hostDir_.c_str(), 0755) != 0 && errno != EEXIST) return WinErrorFromErrno(errno);
  const std::string temp = file + ".new";
  {
    std::ofstream out(temp, std::ios::trunc);
    out << startTime << '\n';
    for (const Window& window : windows) {
      const char cState = window.bClosed ? '-' : window.bAgreesToEnd ? '1' : '0';
      out << cState << '\t' << AnsiToUtf8(window.title) << '\n';
    }
    if (!out.flush()) return ERROR_WRITE_FAULT;
  }
  if (std::rename(temp.c_str(), file.c_str()) != 0) {
    const uint32_t err = WinErrorFromErrno(errno);
    std::remove(temp.c_str());
    return err;
  }
  return ERROR_SUCCESS;
}

uint32_t MachineWindows::EnumWindows(std::vector<WindowEntry>& windows) {
  windows.clear();
  DIR* dir = ::opendir(hostDir_.c_str());
  if (!dir) return errno == ENOENT ? ERROR_SUCCESS : WinErrorFromErrno(errno);
  std::vector<uint32_t> processIds;
  while (const dirent* entry = ::readdir(dir)) {
    char* pszEnd = nullptr;
    const unsigned long nId = std::strtoul(entry->d_name, &pszEnd, 10);
    if (entry->d_name[0] >= '0' && entry->d_name[0] <= '9' && *pszEnd == '\0')
      processIds.push_back(static_cast<uint32_t>(nId));
  }
  ::closedir(dir);
  for (uint32_t dwProcessId : processIds) {
    const std::vector<Window> owned = WindowsOf(dwProcessId);
    for (size_t i = 0; i < owned.size(); ++i)
      if (!owned[i].bClosed)
        windows.push_back({HandleOf(dwProcessId, i), owned[i].title, dwProcessId});
  }
  return ERROR_SUCCESS;
}

uint32_t MachineWindows::SendMessage(WindowHandle hWnd, uint32_t uMsg, int64_t& lResult) {
  lResult = 0;
  const uint32_t dwProcessId = static_cast<uint32_t>(static_cast<uint64_t>(hWnd) >> 32);
  const size_t nIndex = static_cast<uint32_t>(static_cast<uint64_t>(hWnd)) - size_t{1};
  std::vector<Window> windows = WindowsOf(dwProcessId);
  if (nIndex >= windows.size() || windows[nIndex].bClosed) return ERROR_INVALID_WINDOW_HANDLE;
  switch (uMsg) {
    case WM_QUERYENDSESSION:
      lResult = windows[nIndex].bAgreesToEnd ? 1 : 0;
      return ERROR_SUCCESS;
    case WM_CLOSE:
      SignalProgram(dwProcessId, SIGTERM);
      return ERROR_SUCCESS;
    case WM_DESTROY: {
      windows[nIndex] = {"", true, true};
      const uint32_t err = WriteWindowsOf(dwProcessId, windows);
      if (!HasOpenWindow(windows)) SignalProgram(dwProcessId, SIGKILL);
      return err;
    }
    default:
      return ERROR_NOT_SUPPORTED;
  }
}

uint32_t MachineWindows::AnnounceWindow(uint32_t dwProcessId, const std::string& title,
                                        bool bAgreesToEnd) {
  if (!CanOwnWindows(dwProcessId) || StartTimeOf(dwProcessId).empty())
    return ERROR_INVALID_PARAMETER;
  if (title.find_first_of("\r\n") != std::string::npos) return ERROR_INVALID_NAME;
  std::vector<Window> windows = WindowsOf(dwProcessId);
  bool bKnown = false;
  for (Window& window : windows)
    if (!window.bClosed && window.title == title) window.bAgreesToEnd = bAgreesToEnd, bKnown = true;
  if (!bKnown) windows.push_back({title, bAgreesToEnd});
  return WriteWindowsOf(dwProcessId, windows);
}

uint32_t MachineWindows::WithdrawWindow(uint32_t dwProcessId, const std::string& title) {
  std::vector<Window> windows = WindowsOf(dwProcessId);
  bool bFound = false;
  for (Window& window : windows)
    if (!window.bClosed && window.title == title) window = {"", true, true}, bFound = true;
  if (!bFound) return ERROR_INVALID_WINDOW_HANDLE;
  return WriteWindowsOf(dwProcessId, windows);
}

}  // namespace platform::emulated
