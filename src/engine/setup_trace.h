// The trace log: time-stamped lines about what the engine does (copies, registry lines, progress,
// the end state). A line goes to the /B trace file while one is attached, otherwise to the
// debugger output with the run's window title in front. The callers' texts are printf formats,
// so SetupTrace keeps printf semantics rather than a type-safe formatter of our own.
#pragma once
#include <string_view>

#include "platform/file_system.h"

namespace tarvium {

struct SetupRun;

// Writes "YYYY-MM-DD hh:mm:ss.mmm [Setup] " and the formatted text (local time of the machine),
// every line feed written as carriage return and line feed. Returns the number of characters
// formatted (time stamp included, window title and added carriage returns not), or -1 when the
// format cannot be formatted; 0 when nothing reads the trace (no trace file, no listening
// debugger, no lines kept on the run), and then nothing is formatted.
int SetupTrace(SetupRun& run, const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));

// The same for a text its caller formatted: written as it is (a '%' in it is no format mark).
int SetupTraceText(SetupRun& run, std::string_view text);

// Attaches the trace file (lines are appended to it) or, with FileHandle::Invalid, detaches it;
// the caller keeps owning the handle and closes it after detaching.
void SetTraceFile(SetupRun& run, platform::FileHandle hFile);

}  // namespace tarvium
