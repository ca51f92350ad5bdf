#include "platform/emulated/host_console.h"

#include <cstdio>

#include "platform/code_page.h"

namespace platform::emulated {

void HostConsole::WriteLine(const std::string& text) {
  std::printf("%s\n", AnsiToUtf8(text).c_str());
  std::fflush(stdout);
}

}  // namespace platform::emulated
