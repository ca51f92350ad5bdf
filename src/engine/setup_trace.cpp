// The caller's text is formatted first and the time stamp put in front of it; that is the same
// as expanding one format made of stamp and caller's format, because the stamp holds no '%'.
#include "engine/setup_trace.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "engine/debug_output.h"
#include "engine/setup_run.h"

namespace tarvium {
namespace {

// printf formatting into a string of the right size; false on a formatting error.
bool FormatText(const char* pszFormat, va_list args, std::string& text) {
  va_list sized;
  va_copy(sized, args);
  const int nLength = std::vsnprintf(nullptr, 0, pszFormat, sized);
  va_end(sized);
  if (nLength < 0) return false;
  text.assign(static_cast<size_t>(nLength), '\0');
  return std::vsnprintf(text.data(), text.size() + 1, pszFormat, args) == nLength;
}

std::string TimeStamp(SetupRun& run) {
  platform::SystemTime st;
  run.machine.Time().GetLocalTime(st);
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d.%03d [Setup] ", st.wYear,
                st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
  return stamp;
}

std::string WithCarriageReturns(const std::string& text) {
  std::string result;
  result.reserve(text.size() + 8);
  for (char c : text) {
    if (c == '\n') result.push_back('\r');
    result.push_back(c);
  }
  return result;
}

void AppendToTraceFile(SetupRun& run, const std::string& text) {
  platform::FileSystem& files = run.machine.Files();
  uint32_t nWritten = 0;  // write errors are ignored: the trace must never stop a run
  files.SetFilePointerEx(run.log.hTraceFile, 0, platform::FILE_END, nullptr);
  files.WriteFile(run.log.hTraceFile, text.data(), static_cast<uint32_t>(text.size()), nWritten);
}

}  // namespace

int SetupTrace(SetupRun& run, const char* pszFormat, ...) {
  if (!pszFormat) return -1;
  va_list args;
  va_start(args, pszFormat);
  std::string text;
  const bool bFormatted = FormatText(pszFormat, args, text);
  va_end(args);
  if (!bFormatted) return -1;
  std::string line = TimeStamp(run) + text;
  const int nFormatted = static_cast<int>(line.size());
  const bool bToFile = run.log.hTraceFile != platform::FileHandle::Invalid;
  if (!bToFile) line = run.ctx.szWindowTitle + ": " + line;
  line = WithCarriageReturns(line);
  if (bToFile)
    AppendToTraceFile(run, line);
  else
    DebugOutput(run, line);
  return nFormatted;
}

void SetTraceFile(SetupRun& run, platform::FileHandle hFile) {
  run.log.hTraceFile = hFile;
}

}  // namespace tarvium
