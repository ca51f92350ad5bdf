// The top-level windows of the emulated machine. Its programs are host processes, which have no
// windows; a program (a script, usually) announces the windows it stands for, and the machine
// keeps them in its directory (MachineWindows windows(machineDir + "/windows")), one small file
// per process named after its id:
//   first line   the process's start time (clock ticks after boot, as /proc/PID/stat gives it),
//                so that a later process that gets the same id does not inherit the windows;
//   each further line  "1<TAB>title" or "0<TAB>title", UTF-8: one window, and whether it agrees
//                to close when asked the shutdown query; "-<TAB>" a window that was closed, kept
//                so that the windows after it keep their positions (their handles).
// A process's windows go when it ends: an entry whose process has ended (or whose id now belongs
// to another process) is removed the next time the windows are listed. `winmachine window open`
// and `window close` announce and withdraw windows (for their parent process by default).
//
// The messages act on the process as they act on a simple Windows program:
//   WM_CLOSE            the process gets SIGTERM (with its process group when it leads one): it
//                       ends unless it handles the signal, as a program may answer a close by
//                       asking to save first;
//   WM_DESTROY          the window is taken away; a process left without windows is killed
//                       (SIGKILL, with its group), as a program ends when its main window goes;
//   WM_QUERYENDSESSION  answers what the window announced (1 agrees, the default; 0 refuses) and
//                       changes nothing.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/top_level_windows.h"

namespace platform::emulated {

class MachineWindows final : public TopLevelWindows {
 public:
  explicit MachineWindows(std::string hostDir) : hostDir_(std::move(hostDir)) {}

  uint32_t EnumWindows(std::vector<WindowEntry>& windows) override;
  uint32_t SendMessage(WindowHandle hWnd, uint32_t uMsg, int64_t& lResult) override;

  // A running process opens a window (title in ANSI); a title it already has only changes its
  // answer to the shutdown query. ERROR_INVALID_PARAMETER when no such process runs (or it is
  // the host's init), ERROR_INVALID_NAME for a title of more than one line.
  uint32_t AnnounceWindow(uint32_t dwProcessId, const std::string& title, bool bAgreesToEnd);
  // The process closes its window of that title; ERROR_INVALID_WINDOW_HANDLE when it has none.
  uint32_t WithdrawWindow(uint32_t dwProcessId, const std::string& title);

 private:
  struct Window {
    std::string title;
    bool bAgreesToEnd = true;
    bool bClosed = false;
  };

  // The windows of a running process, closed ones included; an entry of a process that ended is
  // removed.
  std::vector<Window> WindowsOf(uint32_t dwProcessId);
  // Writes the list; without an open window the entry is removed.
  uint32_t WriteWindowsOf(uint32_t dwProcessId, const std::vector<Window>& windows);
  std::string FileOf(uint32_t dwProcessId) const;

  std::string hostDir_;
};

}  // namespace platform::emulated
