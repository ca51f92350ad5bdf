#include "install/command_services.h"

#include "engine/setup_run.h"
#include "install/cabinet_files.h"
#include "install/copy_file.h"
#include "install/copy_flags.h"
#include "install/progress.h"
#include "install/shared_files.h"

namespace tarvium {
namespace {

bool CopyForCommand(SetupRun& run, const std::string& source, const std::string& destination,
                    bool bReplaceOlder) {
  CopyFileRequest request;
  request.source = source;
  request.destination = destination;
  request.dwCopyFlags =
      COPY_NOSIZEWARNING | COPY_NODATEWARNING | (bReplaceOlder ? COPY_REPLACEOLDER : 0);
  uint64_t nSize = 0;
  if (run.machine.Files().GetFileSize(source, nSize) == platform::ERROR_SUCCESS)
    request.nExpectedSize = static_cast<int64_t>(nSize);
  return CopyTheFile(run, request);
}

// Streams the member into a new file; a failed write stops the transfer.
uint32_t ExtractForCommand(SetupRun& run, const std::string& cabinet, const std::string& member,
                           const std::string& destination) {
  platform::FileSystem& files = run.machine.Files();
  platform::FileHandle hFile;
  if (const uint32_t err =
          files.CreateFile(destination, platform::GENERIC_WRITE, platform::CREATE_ALWAYS, 0, hFile))
    return err;
  CabinetFileInfo info;
  const uint32_t err = ExtractCabinetFile(
      run, cabinet, member,
      [&](const uint8_t* pData, size_t nSize) {
        uint32_t nWritten = 0;
        return files.WriteFile(hFile, pData, static_cast<uint32_t>(nSize), nWritten) ==
                   platform::ERROR_SUCCESS &&
               nWritten == nSize;
      },
      info);
  files.CloseHandle(hFile);
  if (err != platform::ERROR_SUCCESS) files.DeleteFile(destination);
  return err;
}

}  // namespace

void AttachCommandServices(SetupRun& run) {
  run.commands.copyFile = CopyForCommand;
  run.commands.removeFile = RemoveFile;
  run.commands.renameFile = RenameInstalledFile;
  run.commands.extractCabinetFile = ExtractForCommand;
  run.commands.moveProgress = MoveProgress;
}

}  // namespace tarvium
