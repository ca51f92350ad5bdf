#include "engine/error_file.h"

#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

using platform::ERROR_SUCCESS;
using platform::FileHandle;

// Variables replaced; in a name longer than three characters every ':' after the third
// character becomes '-' (a date or time inserted into the name).
std::string LogFileName(SetupRun& run, std::string name) {
  ReplaceVariables(run, name);
  for (size_t i = 3; name.size() > 3 && i < name.size(); ++i)
    if (name[i] == ':') name[i] = '-';
  return name;
}

// Lines of both files end with CR LF, whatever the text brings: a line feed without a carriage
// return before it gets one.
std::string WithCrLf(const std::string& text) {
  std::string result;
  result.reserve(text.size() + 16);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) result += '\r';
    result += text[i];
  }
  return result;
}

bool WriteBytes(SetupRun& run, FileHandle hFile, const std::string& bytes) {
  uint32_t nWritten = 0;
  return hFile != FileHandle::Invalid &&
         run.machine.Files().WriteFile(hFile, bytes.data(), static_cast<uint32_t>(bytes.size()),
                                       nWritten) == ERROR_SUCCESS;
}

bool WriteText(SetupRun& run, FileHandle hFile, const std::string& text) {
  return WriteBytes(run, hFile, WithCrLf(text));
}

std::string DateTimeLine(SetupRun& run) {
  std::string now = "%SYSDATE% %LONGSYSTIME%";
  ReplaceVariables(run, now);
  return "Date/Time  : " + now + "\n";
}

uint64_t FilePosition(SetupRun& run, FileHandle hFile) {
  uint64_t nPosition = 0;
  run.machine.Files().SetFilePointerEx(hFile, 0, platform::FILE_CURRENT, &nPosition);
  return nPosition;
}

// The identity lines belong right after the date line. Entries written before the identity was
// known (messages of the loading) are moved behind them; the header then ends after the lines.
// When those entries cannot be read back the lines simply follow them.
void InsertAfterHeader(SetupRun& run, const std::string& lines) {
  const FileHandle hFile = run.log.hErrorFile;
  if (hFile == FileHandle::Invalid) return;
  const uint64_t nHeaderEnd = run.log.nErrorHeaderEnd;
  const uint64_t nEnd = FilePosition(run, hFile);
  std::string entries;
  if (nEnd > nHeaderEnd) {
    if (run.machine.Files().ReadWholeFile(run.log.errorTempPath, entries) != ERROR_SUCCESS ||
        entries.size() < nEnd) {
      WriteText(run, hFile, lines);
      return;
    }
    entries = entries.substr(nHeaderEnd, nEnd - nHeaderEnd);
    run.machine.Files().SetFilePointerEx(hFile, static_cast<int64_t>(nHeaderEnd),
                                         platform::FILE_BEGIN, nullptr);
  }
  if (!WriteText(run, hFile, lines)) return;
  run.log.nErrorHeaderEnd = FilePosition(run, hFile);
  WriteBytes(run, hFile, entries);
}

// In /G and /SX runs the file goes to the management agent's error directory.
std::string FinalTarget(SetupRun& run) {
  const std::string& target = run.log.errorTarget;
  if (!run.ctx.bServiceMode && !run.ctx.bSilentToErrorPath) return target;
  std::string dir = "%TarviumErrorPath%";
  ReplaceVariables(run, dir);
  run.machine.Files().CreateDirectoryTree(dir);
  return dir + "\\" + target.substr(target.rfind('\\') + 1);
}

uint32_t AppendFile(SetupRun& run, const std::string& source, const std::string& target) {
  std::string bytes;
  FileHandle hFile;
  uint32_t err = run.machine.Files().ReadWholeFile(source, bytes);
  if (err == ERROR_SUCCESS)
    err = run.machine.Files().CreateFile(target, platform::GENERIC_WRITE, platform::OPEN_ALWAYS,
                                         platform::FILE_ATTRIBUTE_NORMAL, hFile);
  if (err != ERROR_SUCCESS) return err;
  err = run.machine.Files().SetFilePointerEx(hFile, 0, platform::FILE_END, nullptr);
  if (err == ERROR_SUCCESS && !WriteBytes(run, hFile, bytes)) err = platform::ERROR_WRITE_FAULT;
  run.machine.Files().CloseHandle(hFile);
  return err;
}

void ReportFinishFailure(SetupRun& run, const std::string& target) {
  if (run.ctx.bServiceMode || run.ctx.bSilentToErrorPath)
    run.machine.Output().WriteLine("Cannot create error file: " + target);
  else
    ShowMessage(run, 5504, target);
}

}  // namespace

bool PrepareErrorFile(SetupRun& run) {
  SetupContext& ctx = run.ctx;
  if (ctx.szErrorFile.empty()) return true;
  ctx.szErrorSwitch = ctx.szErrorFile;
  std::string name = LogFileName(run, ctx.szErrorFile);
  ctx.bErrorFileAppend = !name.empty() && name[0] == '+';
  if (ctx.bErrorFileAppend) name.erase(0, 1);
  run.log.errorTarget = name;
  std::string tempDir;
  platform::FileSystem& files = run.machine.Files();
  if (files.GetTempPath(tempDir) != ERROR_SUCCESS ||
      files.GetTempFileName(tempDir, "tmp", 0, run.log.errorTempPath) != ERROR_SUCCESS ||
      files.CreateFile(run.log.errorTempPath, platform::GENERIC_WRITE, platform::CREATE_ALWAYS,
                       platform::FILE_ATTRIBUTE_NORMAL, run.log.hErrorFile) != ERROR_SUCCESS) {
    run.log.hErrorFile = FileHandle::Invalid;
    ShowMessage(run, 5504, run.log.errorTempPath.empty() ? name : run.log.errorTempPath);
    return false;
  }
  std::string header;
  if (!files.FileExists(name) || !ctx.bErrorFileAppend)
    header = run.machine.System().DomainName() + ";" + run.machine.System().ComputerName() + "\n";
  WriteText(run, run.log.hErrorFile, header + DateTimeLine(run));
  run.log.nErrorHeaderEnd = FilePosition(run, run.log.hErrorFile);
  return true;
}

void WriteIdentityLines(SetupRun& run, const std::string& productName, const std::string& version,
                        const std::string& revision, const std::string& setupInf) {
  const std::string lines = "ProductName: " + productName + "\nVersion    : " + version +
                            "\nRevision   : " + revision + "\nSetupInf   : " + setupInf +
                            "\n------------\n";
  InsertAfterHeader(run, lines);
  WriteText(run, run.log.hTraceFile, DateTimeLine(run) + lines);
}

void WriteErrorFile(SetupRun& run, const std::string& text) {
  WriteText(run, run.log.hErrorFile, text);
}

void FinishErrorFile(SetupRun& run) {
  if (run.log.hErrorFile == FileHandle::Invalid) return;
  platform::FileSystem& files = run.machine.Files();
  const uint64_t nEnd = FilePosition(run, run.log.hErrorFile);
  files.CloseHandle(run.log.hErrorFile);
  run.log.hErrorFile = FileHandle::Invalid;
  if (nEnd > run.log.nErrorHeaderEnd) {
    const std::string target = FinalTarget(run);
    const uint32_t err = run.ctx.bErrorFileAppend
                             ? AppendFile(run, run.log.errorTempPath, target)
                             : files.CopyFile(run.log.errorTempPath, target, false);
    if (err != ERROR_SUCCESS) ReportFinishFailure(run, target);
  }
  files.DeleteFile(run.log.errorTempPath);
}

bool CreateTraceFile(SetupRun& run) {
  if (run.ctx.szTraceFile.empty()) return true;
  const std::string name = LogFileName(run, run.ctx.szTraceFile);
  FileHandle hFile = FileHandle::Invalid;
  if (run.machine.Files().CreateFile(name, platform::GENERIC_WRITE, platform::CREATE_ALWAYS,
                                     platform::FILE_ATTRIBUTE_NORMAL, hFile) != ERROR_SUCCESS) {
    SetTraceFile(run, FileHandle::Invalid);
    ShowMessage(run, 5504, name);
    return false;
  }
  SetTraceFile(run, hFile);
  return true;
}

}  // namespace tarvium
