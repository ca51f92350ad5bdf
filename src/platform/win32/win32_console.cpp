#include "platform/win32/win32_console.h"

#include "platform/win32/win32_wide_text.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {
namespace {

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

// Converted from the process code page; empty when the text cannot be converted.
std::wstring WideOf(const std::string& text) {
  if (text.empty()) return {};
  const int nLength =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(nLength > 0 ? nLength : 0, L'\0');
  if (nLength > 0)
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        nLength);
  return wide;
}

// Failures are not reported: the engine prints these lines for whoever reads, and has nothing to
// do when no one can.
void WriteText(DWORD nStandardHandle, const std::string& text) {
  const HANDLE handle = GetStdHandle(nStandardHandle);
  if (!handle || handle == INVALID_HANDLE_VALUE || text.empty()) return;
  if (IsConsole(handle)) {
    const std::wstring wide = WideOf(text);
    DWORD nWritten = 0;
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &nWritten, nullptr);
    return;
  }
  size_t nDone = 0;
  while (nDone < text.size()) {
    DWORD nWritten = 0;
    if (!WriteFile(handle, text.data() + nDone, static_cast<DWORD>(text.size() - nDone), &nWritten,
                   nullptr) ||
        nWritten == 0)
      return;
    nDone += nWritten;
  }
}

}  // namespace

void Win32Console::WriteLine(const std::string& text) {
  WriteText(STD_OUTPUT_HANDLE, text + "\r\n");
}

void Win32Console::WriteErrorLine(const std::string& text) {
  WriteText(STD_ERROR_HANDLE, text + "\r\n");
}

bool Win32Console::HasTerminal() {
  return IsConsole(GetStdHandle(STD_INPUT_HANDLE)) && IsConsole(GetStdHandle(STD_ERROR_HANDLE));
}

bool Win32Console::StandardErrorIsTerminal() {
  return IsConsole(GetStdHandle(STD_ERROR_HANDLE));
}

bool Win32Console::HasStandardOutput() {
  const HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
  return handle && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

void Win32Console::WriteErrorText(const std::string& text) {
  WriteText(STD_ERROR_HANDLE, text);
}

bool Win32Console::ReadLine(std::string& line) {
  line.clear();
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  if (!input || input == INVALID_HANDLE_VALUE) return false;
  DWORD nRead = 0;
  if (IsConsole(input)) {
    std::wstring wide;
    wchar_t c = 0;
    while (ReadConsoleW(input, &c, 1, &nRead, nullptr) && nRead == 1) {
      if (c == L'\n') {
        line = AnsiFromWide(wide.c_str());
        return true;
      }
      if (c != L'\r') wide += c;
    }
    line = AnsiFromWide(wide.c_str());
    return !wide.empty();
  }
  char c = 0;
  while (ReadFile(input, &c, 1, &nRead, nullptr) && nRead == 1) {
    if (c == '\n') return true;
    if (c != '\r') line += c;
  }
  return !line.empty();
}

}  // namespace platform::win32
