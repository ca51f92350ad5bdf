// One line per broadcast, in UTF-8, appended in one write so that two processes broadcasting at
// once do not mix their lines. The timeout is not recorded: no window can hang here.
#include "platform/emulated/machine/machine_broadcast.h"

#include <cerrno>
#include <cstdio>
#include <fstream>

#include "platform/code_page.h"
#include "platform/emulated/machine/host_errno.h"
#include "platform/win_error.h"

namespace platform::emulated {

uint32_t MachineBroadcast::AppendLine(const std::string& line) {
  std::ofstream out(hostFile_, std::ios::binary | std::ios::app);
  if (!out) return WinErrorFromErrno(errno);
  out << AnsiToUtf8(line) + "\n";
  return out.flush() ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

uint32_t MachineBroadcast::BroadcastSettingChange(const std::string& area, uint32_t) {
  return AppendLine("WM_WININICHANGE " + area);
}

uint32_t MachineBroadcast::NotifyShellChange(uint32_t dwEventId, const std::string& path) {
  char szEvent[16];
  std::snprintf(szEvent, sizeof szEvent, "0x%08X", dwEventId);
  return AppendLine(std::string("SHChangeNotify ") + szEvent + " " + path);
}

uint32_t MachineBroadcast::PostFontChange() {
  return AppendLine("WM_FONTCHANGE");
}

std::vector<std::string> MachineBroadcast::SettingChanges() {
  std::vector<std::string> lines;
  std::ifstream in(hostFile_, std::ios::binary);
  for (std::string line; std::getline(in, line);) lines.push_back(Utf8ToAnsi(line));
  return lines;
}

}  // namespace platform::emulated
