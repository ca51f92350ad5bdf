#include "platform/emulated/machine/host_console.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/code_page.h"

namespace platform::emulated {
namespace {

void WriteUtf8Line(std::FILE* stream, const std::string& text) {
  std::fprintf(stream, "%s\n", AnsiToUtf8(text).c_str());
  std::fflush(stream);
}

}  // namespace

void HostConsole::WriteLine(const std::string& text) {
  WriteUtf8Line(stdout, text);
}

void HostConsole::WriteErrorLine(const std::string& text) {
  WriteUtf8Line(stderr, text);
}

bool HostConsole::HasTerminal() {
  return ::isatty(STDIN_FILENO) == 1 && ::isatty(STDERR_FILENO) == 1;
}

bool HostConsole::StandardErrorIsTerminal() {
  return ::isatty(STDERR_FILENO) == 1;
}

void HostConsole::WriteErrorText(const std::string& text) {
  std::fputs(AnsiToUtf8(text).c_str(), stderr);
  std::fflush(stderr);
}

bool HostConsole::HasTextScreen() {
  if (::isatty(STDIN_FILENO) != 1 || ::isatty(STDOUT_FILENO) != 1) return false;
  const char* pszTerm = std::getenv("TERM");
  return pszTerm && *pszTerm && std::strcmp(pszTerm, "dumb") != 0;
}

bool HostConsole::ReadLine(std::string& line) {
  std::string utf8;
  char c = 0;
  bool bEnded = false;
  while (!bEnded) {
    const ssize_t nRead = ::read(STDIN_FILENO, &c, 1);
    if (nRead < 0 && errno == EINTR) continue;
    if (nRead <= 0) break;
    bEnded = c == '\n';
    if (!bEnded && c != '\r') utf8 += c;
  }
  line = Utf8ToAnsi(utf8);
  return bEnded || !utf8.empty();
}

}  // namespace platform::emulated
