// A trace line is built in one string in one pass: the window title when it goes to the debugger
// output, the time stamp (written without printf), then the caller's text, formatted into a stack
// buffer (a second formatting only for a text longer than that buffer) and copied over with every
// line feed preceded by a carriage return. The result is the same as expanding one format made of
// stamp and caller's format, because the stamp holds no '%'. A copy traces every block and every
// progress step, so the line is neither formatted twice nor copied from string to string, and the
// most frequent lines come formatted by their callers (SetupTraceText), without printf.
#include "engine/setup_trace.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "engine/debug_output.h"
#include "engine/setup_run.h"

namespace tarvium {
namespace {

constexpr size_t kFormatBuffer = 512;

// A number as printf's "%0<nWidth>u" writes it (zero-padded to the width, longer when it needs
// to), written at `out`; returns the position after it.
char* WritePadded(uint16_t nValue, int nWidth, char* out) {
  char digits[8];
  int nDigits = 0;
  do {
    digits[nDigits++] = static_cast<char>('0' + nValue % 10);
    nValue = static_cast<uint16_t>(nValue / 10);
  } while (nValue != 0);
  for (int i = nDigits; i < nWidth; ++i) *out++ = '0';
  while (nDigits > 0) *out++ = digits[--nDigits];
  return out;
}

// "YYYY-MM-DD hh:mm:ss.mmm [Setup] ", written digit by digit into a buffer and appended at once:
// printf's parsing of the format cost more than the rest of a trace line.
void AppendTimeStamp(SetupRun& run, std::string& line) {
  platform::SystemTime st;
  run.machine.Time().GetLocalTime(st);
  const struct {
    uint16_t nValue;
    int nWidth;
    char cAfter;
  } parts[] = {{st.wYear, 4, '-'},        {st.wMonth, 2, '-'},  {st.wDay, 2, ' '},
               {st.wHour, 2, ':'},        {st.wMinute, 2, ':'}, {st.wSecond, 2, '.'},
               {st.wMilliseconds, 3, ' '}};
  char stamp[64];  // seven numbers of at most five digits, each with a mark after it
  char* out = stamp;
  for (const auto& part : parts) {
    out = WritePadded(part.nValue, part.nWidth, out);
    *out++ = part.cAfter;
  }
  line.append(stamp, static_cast<size_t>(out - stamp));
  line.append("[Setup] ");
}

void AppendWithCarriageReturns(std::string_view text, std::string& line) {
  for (size_t nLineFeed = text.find('\n'); nLineFeed != std::string_view::npos;
       nLineFeed = text.find('\n')) {
    line.append(text.substr(0, nLineFeed));
    line.append("\r\n");
    text.remove_prefix(nLineFeed + 1);
  }
  line.append(text);
}

void AppendToTraceFile(SetupRun& run, const std::string& text) {
  platform::FileSystem& files = run.machine.Files();
  uint32_t nWritten = 0;  // write errors are ignored: the trace must never stop a run
  files.SetFilePointerEx(run.log.hTraceFile, 0, platform::FILE_END, nullptr);
  files.WriteFile(run.log.hTraceFile, text.data(), static_cast<uint32_t>(text.size()), nWritten);
}

// The line around a formatted text: title or trace file, stamp, carriage returns.
int WriteTraceLine(SetupRun& run, std::string_view text) {
  const bool bToFile = run.log.hTraceFile != platform::FileHandle::Invalid;
  std::string line;
  line.reserve(run.ctx.szWindowTitle.size() + 64 + text.size() + 8);
  if (!bToFile) line.append(run.ctx.szWindowTitle).append(": ");
  const size_t nStampStart = line.size();
  AppendTimeStamp(run, line);
  const int nFormatted = static_cast<int>(line.size() - nStampStart + text.size());
  AppendWithCarriageReturns(text, line);
  if (bToFile)
    AppendToTraceFile(run, line);
  else
    DebugOutput(run, std::move(line));
  return nFormatted;
}

// A copy traces every block: a run whose trace nobody reads spares itself the lines.
bool TraceIsRead(SetupRun& run) {
  return run.log.hTraceFile != platform::FileHandle::Invalid || run.bKeepDebugLines ||
         run.machine.Debugger().HasListener();
}

}  // namespace

int SetupTrace(SetupRun& run, const char* pszFormat, ...) {
  if (!pszFormat) return -1;
  if (!TraceIsRead(run)) return 0;
  char buffer[kFormatBuffer];
  va_list args;
  va_start(args, pszFormat);
  va_list again;
  va_copy(again, args);
  const int nText = std::vsnprintf(buffer, sizeof buffer, pszFormat, args);
  va_end(args);
  std::string longText;
  if (nText >= 0 && static_cast<size_t>(nText) >= sizeof buffer) {
    longText.assign(static_cast<size_t>(nText), '\0');
    std::vsnprintf(longText.data(), longText.size() + 1, pszFormat, again);
  }
  va_end(again);
  if (nText < 0) return -1;
  return WriteTraceLine(
      run, longText.empty() ? std::string_view(buffer, static_cast<size_t>(nText)) : longText);
}

int SetupTraceText(SetupRun& run, std::string_view text) {
  return TraceIsRead(run) ? WriteTraceLine(run, text) : 0;
}

void SetTraceFile(SetupRun& run, platform::FileHandle hFile) {
  run.log.hTraceFile = hFile;
}

}  // namespace tarvium
