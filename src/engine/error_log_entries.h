// The entries of the /E error file that do not come from messages: the text of a script's
// "ErrorLogMsg" and a source file missing under /F. Each names the date and time and, while a
// section is being processed, the section and line, so an administrator can find the cause.
// Without an error file nothing is written anywhere.
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

// "<SysDate> <LongSysTime>[, Section [<name>], Line <n>: ]\nErrorLogMsg: <text>\n------------\n"
// with the current date and time variables; the caller has replaced variables and escapes.
void WriteErrorLogMsg(SetupRun& run, const std::string& text);
// The same frame with "File not found: <path>" ("\.." steps resolved), after refreshing the date
// and time variables.
void WriteMissingFileEntry(SetupRun& run, const std::string& sourcePath);

}  // namespace tarvium
