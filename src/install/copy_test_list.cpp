#include "install/copy_test_list.h"

#include <cstdio>
#include <string>

#include "engine/setup_run.h"
#include "install/file_path_parts.h"
#include "platform/ansi_case.h"

namespace tarvium {
namespace {

void WriteLine(SetupRun& run, const std::string& line) {
  const std::string text = line + "\r\n";
  uint32_t nWritten = 0;  // a test list that cannot be written loses the line, nothing more
  run.machine.Files().WriteFile(run.sequence.hTestList, text.data(),
                                static_cast<uint32_t>(text.size()), nWritten);
}

std::string Command(const char* pszVerb, const std::string& first, const std::string& second) {
  return std::string(pszVerb) + " " + first + " " + second;
}

std::string RelativeToSource(SetupRun& run, const std::string& source) {
  std::string srcDir = run.variables.Get("Src");
  if (srcDir.empty()) srcDir = run.ctx.szSrcDir;
  if (!srcDir.empty() && srcDir.back() != '\\') srcDir += '\\';
  std::string relative = source;
  if (!srcDir.empty() && platform::AnsiStartsWithNoCase(source, srcDir))
    relative = source.substr(srcDir.size());
  if (relative.find(' ') != std::string::npos) relative = "\"" + relative + "\"";
  return relative;
}

}  // namespace

void WriteTestListEntry(SetupRun& run, const CopyJob& job, bool bCompressed) {
  if (run.sequence.hTestList == platform::FileHandle::Invalid) return;
  const CopyFileRequest& request = job.request;
  if (run.ctx.iTestKind != 1) {
    WriteLine(run, RelativeToSource(run, request.source));
  } else if (job.FromCabinet()) {
    WriteLine(run, Command("extract", request.cabinet, request.source));
  } else {
    const std::string directory = ParentDirectoryOf(request.destination);
    WriteLine(run, "@if not exist " + directory + " md " + directory + ">NUL");
    WriteLine(run, Command(bCompressed ? "expand" : "copy", request.source, request.destination));
  }
}

}  // namespace tarvium
