// The text is kept in UTF-8 so that the file reads right on the host; the engine gets and gives
// ANSI. Writing goes through a temporary file renamed into place, so a reader never sees half a
// text.
#include "platform/emulated/machine/machine_clipboard.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/code_page.h"
#include "platform/emulated/machine/host_errno.h"
#include "platform/win_error.h"

namespace platform::emulated {

uint32_t MachineClipboard::GetClipboardText(std::string& text) {
  text.clear();
  std::ifstream in(hostFile_, std::ios::binary);
  if (!in) return errno == ENOENT ? ERROR_SUCCESS : WinErrorFromErrno(errno);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) return ERROR_READ_FAULT;
  text = Utf8ToAnsi(bytes.str());
  return ERROR_SUCCESS;
}

uint32_t MachineClipboard::SetClipboardText(const std::string& text) {
  if (text.empty()) {
    if (std::remove(hostFile_.c_str()) != 0 && errno != ENOENT) return WinErrorFromErrno(errno);
    return ERROR_SUCCESS;
  }
  const std::string temp = hostFile_ + ".new";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << AnsiToUtf8(text);
    if (!out.flush()) return ERROR_WRITE_FAULT;
  }
  if (std::rename(temp.c_str(), hostFile_.c_str()) != 0) {
    const uint32_t err = WinErrorFromErrno(errno);
    std::remove(temp.c_str());
    return err;
  }
  return ERROR_SUCCESS;
}

}  // namespace platform::emulated
